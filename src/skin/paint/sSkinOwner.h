#pragma once
// The owner of a TsCommonData that is not a control: a window-frame component
// that paints a form's non-client area. The frame layer implements it.

#include <string>

class TForm;

class TsFrameOwner {
public:
  virtual ~TsFrameOwner() = default;
  // The form whose frame is painted.
  virtual TForm* FramedForm() const = 0;
  // The form paints a frame of its own (a custom frame), so its background is
  // never one plain colour.
  virtual bool PaintsCustomFrame() const = 0;
  // The class name that names the default section.
  virtual std::string OwnerClassName() const = 0;
};
