// Every box of a session as the window backend draws it. A session script
// is played headless, and each dialog and status box the program opens is
// also built by the window backend, shown on the display and read back as
// a PNG picture, with the places of its fields beside it, for the tests
// that check the layout by its pixels. The list of the boxes (fields,
// buttons, the default and the one pressed) lets the desktop tests answer
// the same boxes by real keys.
//
// usage: dialog_gallery gridor|plotor SCRIPT OUTDIR [PICTURES]
//   OUTDIR/boxes.txt       one line per box, in the order they came
//   OUTDIR/transcript.txt  the headless transcript
//   PICTURES/box-N.png     each box not pictured there before, and
//   PICTURES/box-N.txt     where its fields and texts stand; the list
//   PICTURES/index.txt     of the boxes pictured, so that several sessions
//                          add to one collection without repeats
// Without PICTURES no display is needed. Exit status: the program's own.
#include <FL/Fl.H>
#include <FL/Fl_Spinner.H>
#include <FL/x.H>
#undef None

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <optional>
#include <string>
#include <vector>

#include "driver.h"
#include "platform/headless.h"
#include "platform/window_dialog.h"
#include "platform/window_layout.h"
#include "platform/window_views.h"
#include "viewer_driver.h"

namespace vortan {
namespace {

// Shows the window, waits until it is drawn on the screen, writes its
// pixels as a PNG file and deletes the window.
bool grab_window(Fl_Window* win, const std::string& path) {
  win->position(20, 20);
  win->show();
  XWindowAttributes a{};
  for (int i = 0; i < 500; ++i) {
    Fl::wait(0.01);
    if (XGetWindowAttributes(fl_display, fl_xid(win), &a) && a.map_state == IsViewable) break;
  }
  // Read again until two readings in a row are alike: the box is drawn.
  const int w = win->w(), h = win->h();
  XImage* im = nullptr;
  for (int i = 0; i < 100; ++i) {
    Fl::flush();
    XSync(fl_display, False);
    XImage* next = XGetImage(fl_display, fl_xid(win), 0, 0, w, h, AllPlanes, ZPixmap);
    const bool settled = im && next &&
                         std::equal(im->data, im->data + im->bytes_per_line * h, next->data);
    if (im) XDestroyImage(im);
    im = next;
    if (settled) break;
    Fl::wait(0.005);
  }
  win->hide();
  delete win;
  Fl::check();
  if (!im) return false;
  auto shift = [](unsigned long mask) {
    int s = 0;
    while (mask && !(mask & 1)) mask >>= 1, ++s;
    return s;
  };
  const int rs = shift(im->red_mask), gs = shift(im->green_mask), bs = shift(im->blue_mask);
  std::vector<std::uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned long p = XGetPixel(im, x, y);
      std::uint8_t* o = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      o[0] = static_cast<std::uint8_t>((p & im->red_mask) >> rs);
      o[1] = static_cast<std::uint8_t>((p & im->green_mask) >> gs);
      o[2] = static_cast<std::uint8_t>((p & im->blue_mask) >> bs);
    }
  XDestroyImage(im);
  std::string why;
  if (write_rgb_png(path, w, h, rgb.data(), why)) return true;
  std::fprintf(stderr, "%s\n", why.c_str());
  return false;
}

const char* kind_name(const DialogField& f) {
  switch (f.kind) {
    case DialogField::Integer: return "integer";
    case DialogField::Real: return "real";
    case DialogField::Text: return "text";
    case DialogField::List: return "list";
  }
  return "?";
}

class GalleryPlatform : public HeadlessPlatform {
 public:
  GalleryPlatform(std::vector<ScriptEvent> events, const std::string& dir,
                  const std::string& pictures)
      : HeadlessPlatform(std::move(events), dir + "/transcript.txt", dir),
        pictures_(pictures), list_(dir + "/boxes.txt") {
    if (pictures_.empty()) return;
    Fl::scheme("gtk+");
    ui_ = ui_scale(Fl::w(), Fl::h());
    font_ = scaled(BASE_FONT_SIZE, ui_);
    std::ifstream index(pictures_ + "/index.txt");
    for (std::string line; std::getline(index, line);) {
      ++pictured_;
      seen_.insert(line.substr(line.find(' ') + 1));
    }
  }

  // Input events taken so far, so that each box is listed after them.
  std::string text_read_line() override { return took(HeadlessPlatform::text_read_line()); }
  int text_read_key() override { return took(HeadlessPlatform::text_read_key()); }
  std::optional<std::string> file_open(const std::string& title,
                                       const std::vector<FileFilter>& filters,
                                       const std::string& folder) override {
    return took(HeadlessPlatform::file_open(title, filters, folder));
  }
  std::optional<std::string> folder_open(const std::string& title,
                                         const std::string& folder) override {
    return took(HeadlessPlatform::folder_open(title, folder));
  }
  // A press is taken from one event; the poll after it sees the release.
  MouseState mouse_poll() override {
    const MouseState m = HeadlessPlatform::mouse_poll();
    if (!release_next_) ++events_;
    release_next_ = m.buttons != 0;
    return m;
  }

  int dialog(DialogSpec& dlg) override {
    const int n = ++count_;
    picture(dlg);
    const int after = events_;
    const int pressed = HeadlessPlatform::dialog(dlg);
    if (dlg.buttons.size() > 1 || !dlg.fields.empty()) ++events_;
    list_ << n << " dialog after=" << after << " fields=" << dlg.fields.size() << " kinds=";
    for (const DialogField& f : dlg.fields) list_ << kind_name(f)[0];
    list_ << " buttons=" << dlg.buttons.size() << " default=" << dlg.default_button
          << " pressed=" << pressed << " caption=" << dlg.caption << std::endl;
    return pressed;
  }

  void tell(const std::string& text) override {
    const int n = ++count_;
    if (const std::string base = new_picture("tell: " + text); !base.empty())
      grab_window(build_status_box(text, font_, ui_), base + ".png");
    list_ << n << " tell after=" << events_ << " " << text << std::endl;
    HeadlessPlatform::tell(text);
  }

 private:
  template <class T>
  T took(T v) {
    ++events_;
    return v;
  }

  // The name of the next picture when this box is not in the collection
  // yet (and is entered now), else empty.
  std::string new_picture(const std::string& signature) {
    if (pictures_.empty() || !seen_.insert(signature).second) return "";
    const std::string name = "box-" + std::to_string(++pictured_);
    std::ofstream(pictures_ + "/index.txt", std::ios::app) << name << " " << signature << "\n";
    return pictures_ + "/" + name;
  }

  // The box as the window backend builds it, and where its parts stand:
  // the white input area of each number or text field (the whole box of a
  // list) and every text.
  void picture(DialogSpec& dlg) {
    std::string signature = dlg.caption + " |";
    for (const DialogLine& l : dlg.lines) signature += " " + l.text + " |";
    for (const DialogField& f : dlg.fields) signature += " " + f.label + " [] |";
    for (const std::string& b : dlg.buttons) signature += " [" + b + "]";
    const std::string base = new_picture(signature);
    if (base.empty()) return;
    DialogState st;
    Fl_Double_Window* win = build_dialog(dlg, st, font_, ui_);
    std::ofstream geo(base + ".txt");
    geo << "window " << win->w() << " " << win->h() << " font " << font_ << "\n";
    for (size_t i = 0; i < dlg.fields.size(); ++i) {
      const DialogField& f = dlg.fields[i];
      Fl_Widget* w = st.inputs[i];
      if (f.kind == DialogField::Integer) w = static_cast<Fl_Spinner*>(w)->child(0);
      geo << "field " << i + 1 << " " << kind_name(f) << " " << w->x() << " " << w->y() << " "
          << w->w() << " " << w->h() << " label=" << (f.label.empty() ? 0 : 1)
          << " column=" << f.column << "\n";
    }
    for (int i = 0; i < win->children(); ++i)
      if (auto* t = dynamic_cast<TextLine*>(win->child(i)))
        geo << "text " << t->x() << " " << t->y() << " " << t->w() << " " << t->h() << " "
            << t->text() << "\n";
    if (!grab_window(win, base + ".png")) std::fprintf(stderr, "cannot read back %s\n", base.c_str());
  }

  std::string pictures_;
  std::ofstream list_;
  std::set<std::string> seen_;
  int pictured_ = 0;
  int count_ = 0;
  int events_ = 0;
  bool release_next_ = false;
  double ui_ = 1.0;
  int font_ = BASE_FONT_SIZE;
};

}  // namespace
}  // namespace vortan

int main(int argc, char** argv) {
  using namespace vortan;
  if (argc < 4 || (std::string(argv[1]) != "gridor" && std::string(argv[1]) != "plotor")) {
    std::fprintf(stderr, "usage: dialog_gallery gridor|plotor SCRIPT OUTDIR [PICTURES]\n");
    return 2;
  }
  const std::string pictures = argc > 4 ? argv[4] : "";
  if (!pictures.empty()) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
      std::fprintf(stderr, "dialog_gallery: no display\n");
      return 2;
    }
    fl_open_display(d);
  }
  std::ifstream in(argv[2], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "dialog_gallery: cannot read %s\n", argv[2]);
    return 2;
  }
  int status = 0;
  try {
    set_platform(std::make_unique<GalleryPlatform>(parse_script(in, argv[2]), argv[3], pictures));
    if (std::string(argv[1]) == "gridor")
      GRIDOR();
    else
      PLOTOR();
    plat().finish();
  } catch (const ProgramExit& e) {
    status = e.status;
    if (!e.message.empty()) std::fprintf(stderr, "%s\n", e.message.c_str());
  }
  set_platform(nullptr);
  return status;
}
