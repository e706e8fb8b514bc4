#include "window_views.h"

#include <FL/Fl_Native_File_Chooser.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
// Xlib's None would hide DialogIcon::None.
#undef None

#include <algorithm>
#include <filesystem>

#include "plot.h"

namespace vortan {

const Fl_Color PALE_YELLOW = fl_rgb_color(255, 255, 160);

int event_key_code() {
  int k = Fl::event_key();
  if ((Fl::event_state() & FL_CTRL) && (k == 'c' || k == 'C')) return KEY_CTRLC;
  if (k == FL_Escape) return KEY_ESC;
  if (k == FL_Enter || k == FL_KP_Enter) return KEY_ENTER;
  if (k == FL_BackSpace) return 8;
  if (k > FL_F && k <= FL_F + 10) return KEY_F1 + (k - FL_F - 1);
  if (k == FL_F + 11) return KEY_F11;
  if (k == FL_F + 12) return KEY_F12;
  if (Fl::event_state() & (FL_CTRL | FL_ALT | FL_META)) return -1;
  const char* t = Fl::event_text();
  if (Fl::event_length() == 1 && t[0] >= 32 && t[0] < 127) return t[0];
  return -1;
}

void key_typed(KeySink& sink, int key) {
  if (sink.now == Waiting::Click) {
    if (key == KEY_ESC || key == KEY_CTRLC) sink.exit_asked = true;
    else fl_beep();
    return;
  }
  sink.keys.push_back(key);
}

bool forget_keys(KeySink& sink) {
  const bool any = !sink.keys.empty();
  sink.keys.clear();
  return any;
}

void close_as_esc(Fl_Widget*, void* data) {
  auto* sink = static_cast<KeySink*>(data);
  if (sink->now == Waiting::Key) sink->keys.push_back(KEY_ESC);
  else sink->exit_asked = true;
}

int TextView::handle(int e) {
  if (e == FL_FOCUS || e == FL_UNFOCUS) return 1;
  if (e == FL_KEYBOARD) {
    int k = event_key_code();
    if (k < 0) return 0;  // left to the window's shortcuts
    key_typed(sink_, k);
    return 1;
  }
  if (e == FL_PUSH) take_focus();
  return Fl_Text_Display::handle(e);
}

// --- the picture ----------------------------------------------------------------

void PictureView::draw() {
  const Rect f = fit();
  if (f.w != rgb_w_ || f.h != rgb_h_ || drawn != fb_.generation()) {
    scale_picture(fb_, f.w, f.h, rgb_);
    rgb_w_ = f.w;
    rgb_h_ = f.h;
  }
  // The bands beside a picture that does not fill the window at 4:3.
  fl_color(FL_DARK3);
  fl_rectf(x(), y(), w(), h());
  if (f.w > 0 && f.h > 0) fl_draw_image(rgb_.data(), x() + f.x, y() + f.y, f.w, f.h, 3);
  drawn = fb_.generation();
  if (!status.empty() && f.w > 0) draw_status(f);
}

// The yellow, shadowed status box under the heading strip, centred over
// the plot area left of the toolbar, its text as high as the picture's
// labels at the window's present size.
void PictureView::draw_status(const Rect& f) {
  const double k = f.w / static_cast<double>(SCREEN_W);
  auto at = [k](double v) { return static_cast<int>(v * k + 0.5); };
  const int size = std::max(8, at(BASE_FONT_SIZE)), pad = at(10), shadow = std::max(2, at(6));
  fl_font(FL_HELVETICA, size);
  const int w = static_cast<int>(fl_width(status.c_str())) + 2 * pad, h = size + at(16);
  const int bx = x() + f.x + std::max(0, (at(500) - w) / 2), by = y() + f.y + at(38);
  fl_color(FL_DARK3);
  fl_rectf(bx + shadow, by + shadow, w, h);
  fl_color(PALE_YELLOW);
  fl_rectf(bx, by, w, h);
  fl_color(FL_BLACK);
  fl_rect(bx, by, w, h);
  fl_draw(status.c_str(), bx + pad, by + (h + fl_height()) / 2 - fl_descent());
}

void PictureView::track() {
  int px, py;
  if (window_to_pixel(fit(), Fl::event_x() - x(), Fl::event_y() - y(), px, py)) {
    pointer.x = px;
    pointer.y = py;
  }
  pointer.buttons = 0;
}

int PictureView::handle(int e) {
  switch (e) {
    case FL_ENTER:
    case FL_MOVE:
    case FL_DRAG:
    case FL_RELEASE:
      track();
      return 1;
    case FL_PUSH: {
      take_focus();
      int px, py;
      const int b = Fl::event_button();
      // A press beside the picture, or of the middle button, is no click.
      if ((b != FL_LEFT_MOUSE && b != FL_RIGHT_MOUSE) ||
          !window_to_pixel(fit(), Fl::event_x() - x(), Fl::event_y() - y(), px, py))
        return 1;
      track();
      // Kept in order until the polls take them; a full queue says so.
      if (!press_down(presses, px, py, b == FL_LEFT_MOUSE ? MOUSE_LEFT : MOUSE_RIGHT)) fl_beep();
      return 1;
    }
    case FL_FOCUS:
    case FL_UNFOCUS:
      return 1;
    case FL_KEYBOARD: {
      int k = event_key_code();
      if (k < 0) return 0;  // left to the menu's shortcut
      key_typed(sink_, k);
      return 1;
    }
    default:
      return Fl_Widget::handle(e);
  }
}

// --- the graphics window ----------------------------------------------------------

GraphicsWindow::GraphicsWindow(const Rect& r, int menu_h, int font, const char* caption,
                               Framebuffer& fb, KeySink& sink)
    : Fl_Double_Window(r.x, r.y, r.w, r.h + menu_h, caption), fb_(fb) {
  menu = new Fl_Menu_Bar(0, 0, r.w, menu_h);
  menu->textsize(font);
  menu->add("Picture/Save plot as PNG...", FL_CTRL + 's', save_plot_cb, this);
  menu->add("Picture/Save whole window as PNG...", 0, save_window_cb, this);
  menu->add("Picture/High-contrast colours", FL_CTRL + 'h', contrast_cb, this,
            FL_MENU_TOGGLE | (fb.high_contrast() ? FL_MENU_VALUE : 0));
  picture = new PictureView(0, menu_h, r.w, r.h, fb, sink);
  resizable(picture);
  size_range(SCREEN_W / 2, SCREEN_H / 2 + menu_h);
  end();
}

void GraphicsWindow::save_plot_cb(Fl_Widget*, void* data) {
  static_cast<GraphicsWindow*>(data)->save(false);
}

void GraphicsWindow::save_window_cb(Fl_Widget*, void* data) {
  static_cast<GraphicsWindow*>(data)->save(true);
}

// Saves the plot (the drawing area, without the heading strip and the
// toolbar) or the whole picture, at the window's current size, under the
// name the program offers (runc.png beside run.out) or one the user gives;
// the dialogue of the program goes on unchanged.
void GraphicsWindow::save(bool whole) {
  Fl_Native_File_Chooser chooser;
  chooser.title(whole ? "Save whole window as PNG" : "Save plot as PNG");
  chooser.type(Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
  chooser.options(Fl_Native_File_Chooser::SAVEAS_CONFIRM);
  chooser.filter("PNG pictures\t*.png\n");
  std::error_code ec;
  const std::filesystem::path offered = std::filesystem::absolute(
      picture_name.empty() ? std::filesystem::path("picture") : std::filesystem::path(picture_name),
      ec);
  chooser.directory(offered.parent_path().string().c_str());
  chooser.preset_file((offered.filename().string() + ".png").c_str());
  if (chooser.show() != 0 || !chooser.filename() || !*chooser.filename()) return;
  std::string path = chooser.filename();
  if (std::filesystem::path(path).extension().empty()) path += ".png";
  const Rect f = picture->fit();
  const Rect plot{AREA_X1, AREA_Y1, AREA_X2 - AREA_X1 + 1, AREA_Y2 - AREA_Y1 + 1};
  const std::string error = save_picture_png(fb_, f.w, f.h, path, whole ? Rect{} : plot);
  if (!error.empty()) fl_alert("The picture was not saved: %s", error.c_str());
}

// The colours of the screen and of saved pictures; the program's palette
// and its PostScript files stay as they are.
void GraphicsWindow::contrast_cb(Fl_Widget*, void* data) {
  auto* g = static_cast<GraphicsWindow*>(data);
  g->fb_.set_high_contrast(!g->fb_.high_contrast());
  g->picture->redraw();
}

// --- dialog parts ----------------------------------------------------------------

void TextLine::draw() {
  fl_font(font_, size_);
  fl_color(colour_);
  int tw = static_cast<int>(fl_width(text_.c_str()));
  int tx = centred_ ? x() + (w() - tw) / 2 : x();
  int base = y() + (h() + fl_height()) / 2 - fl_descent();
  fl_draw(text_.c_str(), tx, base);
  if (underline_) fl_line(tx, base + 2, tx + tw, base + 2);
}

void IconView::draw() {
  const int s = w();
  if (program_) {
    fl_color(FL_DARK_BLUE);
    int l = x() + s / 20, t = y() + s / 20, r = x() + s - s / 20, b = y() + s - s / 20;
    int m = x() + s / 2, c = y() + s / 2;
    fl_rect(l, t, r - l, b - t);
    fl_line(l, t, r, b);
    fl_line(r, t, l, b);
    fl_line(m, t, m, b);
    fl_line(l, c, r, c);
    return;
  }
  Fl_Color fill = icon_ == DialogIcon::Error ? FL_RED : FL_BLUE;
  const char* mark = icon_ == DialogIcon::Question ? "?" : icon_ == DialogIcon::Error ? "!" : "i";
  fl_color(fill);
  fl_pie(x(), y(), s, s, 0, 360);
  fl_color(FL_WHITE);
  fl_font(FL_TIMES_BOLD, s * 7 / 10);
  fl_draw(mark, x(), y(), s, s, FL_ALIGN_CENTER);
}

void ShadowWindow::draw() {
  fl_color(FL_DARK3);
  fl_rectf(shadow_, shadow_, w() - shadow_, h() - shadow_);
  fl_color(colour_);
  fl_rectf(0, 0, w() - shadow_, h() - shadow_);
  fl_color(FL_BLACK);
  fl_rect(0, 0, w() - shadow_, h() - shadow_);
  draw_children();
}

}  // namespace vortan
