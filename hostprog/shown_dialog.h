#pragma once
// A dialog of the add-in on screen, as the host program drives it: natively
// the form itself; under Windows its real window.

#include <optional>
#include <string>

#include "host/value.h"

namespace frambolist::hostprog {

class ShownDialog {
 public:
  virtual ~ShownDialog() = default;
  virtual std::string Name() const = 0;
  virtual bool Visible() const = 0;
  virtual bool Loaded() const = 0;  // false once unloaded (its window destroyed)
  virtual bool HasControl(const std::string& name, int index) const = 0;
  virtual void Click(const std::string& name, int index) = 0;
  virtual void Key(int char_code) = 0;
  virtual void Close() = 0;
  // Caption, Value (option buttons), Left, Top, Width, Height (twips); none
  // for a property the control does not have.
  virtual std::optional<host::Value> Property(const std::string& name, int index,
                                              const std::string& property) const = 0;
};

}  // namespace frambolist::hostprog
