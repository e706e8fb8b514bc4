// Help screens: fixed texts that explain the toolbar buttons and some
// questions of both programs. Each is shown as a modal yellow box captioned
// "VORTAN - help" with a "Close" button; the dialogue then goes on where it
// was.
#pragma once

namespace vortan {

// Preprocessor main menu and its questions.
void HPZOOM();
void HPTRIA();
void HPREFN();
void HPDUBL();
void HPMDFY();
void HPSAVE();
void HPRSTR();
void HPREDC();
void HPLOAD();

// Mesh modification.
void HPLEVL();
void HPDOF();
void HPCNST();
void HPCORD();
void HPPROP();

// Triangulation and renumbering.
void HPTRIR();
void HPREDN();
void HPGMAT();

// Part B boundaries.
void HPBDRY();
void HPRAD();
void HPEXC();

// Viewer plots.
void HPSTRS();
void HPDEFM();
void HPCONT();
void HPYLD();

}  // namespace vortan
