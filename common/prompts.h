// The prompt and message routines: every question and short message of both
// programs goes through these, so the dialogue looks the same everywhere.
// Text-window prompts write the question in the text window and read the
// answer there; dialog boxes are modal boxes over the graphics window.
#pragma once

#include <string>
#include <vector>

#include "mesh_model.h"
#include "records.h"

namespace vortan {

struct DialogSpec;

// The program's own ending (its closing texts and ENDWIN), run when the
// user answers y to "Do you want to exit?". Each program sets its own.
using EndingHook = void (*)();
void set_ending_hook(EndingHook hook);
// Runs the ending and stops the program with status 0.
[[noreturn]] void STOPPR();

// --- text window output --------------------------------------------------
void WRLINE(const std::string& text = "");  // one whole line
void WRTEXT(const std::string& text);       // text on the current line

// --- keyboard --------------------------------------------------------------
int GETKZZ();
void SLEEPZ(double seconds);
void BEEPZ();

// --- text-window prompts ---------------------------------------------------
char YESNO(const std::string& question);
int ASKDGT(const std::string& prompt);
int ASKELT(int maximum);
int ASKNOD(int maximum);
// With a field `fit`, a value that does not fit it is refused with the
// does_not_fit message and asked for again.
void ASKVAL(double& value, FieldFormat fit = {});
// Writes "Press any key to continue!" and waits for one key.
void PROMPT();
// Reads one typed line (the answer to a question already written).
std::string READLN();
// Writes the prompt and reads `count` finite reals typed after it, from as
// many lines as they take; asks again after "Incorrect input: type a real
// number", or, for a value that does not fit the field `fit`, after the
// does_not_fit message.
void ask_reals(const std::string& prompt, int count, double* v, FieldFormat fit = {});
// The one message that refuses a typed value too wide for its field.
std::string does_not_fit(double v, FieldFormat f);

// --- dialog boxes ----------------------------------------------------------
char YESNOG(const std::string& question);
char YESNOH(const std::string& question);
void TELL(const std::string& message);
void TELLI(const std::string& message, int value);
// The step a status box spoke of is over: the box goes from the screen.
void end_tell();
void PUT(const std::string& message);
void MPUT(const std::string& message1, const std::string& message2);
void PUTERR(const std::string& message);
int PUTGI(const std::string& prompt);
std::string PUTGCH(const std::string& prompt);
double PUTGR(const std::string& prompt);
void PUTGR2(const std::string& prompt, double& value);
void OUTGR(const std::string& message, double value);
void OUTGI(const std::string& message, int value);
void OUTVAL(const std::string& message, double x, double y);
void OUTNOD(const std::string& text, int node, double x, double y);
void RESNOD(int node, int count, const std::string* labels, const double* values);
void OUTSTR(double sx, double sy, double txy, double s1, double s3, double angle, double sz);
void OUTKOD(int ndof, int kode);
// A question box of two real fields, as the loading and boundary dialogues
// ask for a pair of values.
DialogSpec two_value_dialog(const std::string& caption, const std::vector<std::string>& lines,
                            const std::string& label1, const std::string& label2, double v1,
                            double v2, const std::vector<std::string>& buttons = {"OK",
                                                                                  "Cancel"});
// Runs a dialog until its integer and real fields fit the formats given for
// them in reading order (kind 0: any value), or a button other than `storing`
// is pressed. A value that does not fit is refused in an error box with the
// does_not_fit message and the dialog is shown again as it was left.
int dialog_fitting(DialogSpec& d, const std::vector<FieldFormat>& formats, int storing = 1);

// --- text-window listings ------------------------------------------------
void SHOWEL(const MeshModel& m);
void SHOWND(const MeshModel& m);

// --- midside values -------------------------------------------------------
// Fills each midside value that is exactly 0.0 with the mean of its two
// neighbours, by the element code 10 x nnode + nside; values[1..nnode].
void MSNVAL(int nnode, int nside, double* values);

// Text as the routines show it: trailing blanks removed.
std::string trimmed(const std::string& text);
// A real in a compact free format, as the listings write reals.
std::string free_real_text(double v);

}  // namespace vortan
