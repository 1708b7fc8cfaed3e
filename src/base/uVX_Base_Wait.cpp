// tVX_Wait: the "please wait" window.
#include "base/uVX_Base.h"
#include "base/uVX_Text.h"

tVX_Wait::tVX_Wait(const tVX_Application* aOwner) : fOwner(aOwner) { SetText(u""); }

tVX_Wait::~tVX_Wait() = default;

void tVX_Wait::SetText(std::u16string_view aText) {
  fLabel.clear();
  if (fOwner != nullptr) fLabel = vxtext::LowerCase(fOwner->Language()) == u"en" ? fText_EN : fText_IT;
  if (!aText.empty()) {
    if (!fLabel.empty()) fLabel += u"\r\n";
    fLabel += aText;
  }
  if (fForm) fForm->SetText(fLabel);
}

void tVX_Wait::Start(std::u16string_view aText) {
  if (!fForm) fForm = port::CreateWaitWindow();  // stays null without a display
  SetText(aText);
  if (fForm) fForm->Show();  // paints at once
  fStarted = true;
}

void tVX_Wait::Stop() {
  fStarted = false;
  if (fForm) fForm->Hide();
}
