// The four windows of the program, one instance each, alive from start-up to the end of the program and
// reachable from everywhere through these references.
#pragma once

namespace mozenta {

class TForm1;
class TForm2;
class TForm3;
class TForm4;

extern TForm1* Form1;  // the main window
extern TForm2* Form2;  // the full-colour source picture window
extern TForm3* Form3;  // the mosaic window
extern TForm4* Form4;  // the palette dialog

// Creates the windows, each hidden, in the order Form1, Form2, Form3, Form4. The palette dialog starts
// with the default palette and the mosaic window with an empty grid.
void CreateForms();
// Destroys them, in the reverse order, and clears the references.
void DestroyForms();

}  // namespace mozenta
