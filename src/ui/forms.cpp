#include "forms.h"

#include "main_window.h"
#include "mosaic_window.h"
#include "palette_dialog.h"
#include "source_window.h"

namespace mozenta {

TForm1* Form1 = nullptr;
TForm2* Form2 = nullptr;
TForm3* Form3 = nullptr;
TForm4* Form4 = nullptr;

void CreateForms() {
  Form1 = new TForm1;
  Form2 = new TForm2;
  Form3 = new TForm3;
  Form4 = new TForm4;
}

void DestroyForms() {
  delete Form4;
  Form4 = nullptr;
  delete Form3;
  Form3 = nullptr;
  delete Form2;
  Form2 = nullptr;
  delete Form1;
  Form1 = nullptr;
}

}  // namespace mozenta
