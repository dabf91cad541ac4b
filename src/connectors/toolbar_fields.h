#pragma once
// The connector field that keeps each control of the toolbar, by the field
// name the layout gives. A name that no field answers to is a mistake in the
// layout table: Find gives null, and the connector refuses to be made
// (rather than leave a control silently unwired).

#include <string_view>

#include "connectors/connector.h"

namespace frambolist::connectors {

class ToolbarFields {
 public:
  explicit ToolbarFields(Connector& c) : c_(c) {}

  // The field named `field`, or null.
  struct Field {
    host::Dispatch* plain = nullptr;      // captions: no events
    host::WithEvents* evented = nullptr;  // boxes and buttons
  };
  Field Find(std::string_view field) {
    if (field == "LblHeight") return {&c_.LblHeight};
    if (field == "LblWidth") return {&c_.LblWidth};
    if (field == "LblRotate") return {&c_.LblRotate};
    if (field == "TxHeight") return {nullptr, &c_.TxHeight};
    if (field == "TxWidth") return {nullptr, &c_.TxWidth};
    if (field == "ButAspect") return {nullptr, &c_.ButAspect};
    if (field == "TxRotate") return {nullptr, &c_.TxRotate};
    if (field == "ButSettings") return {nullptr, &c_.ButSettings};
    if (field == "ButAbout") return {nullptr, &c_.ButAbout};
    return {};
  }
  static bool Exists(const Field& f) { return f.plain || f.evented; }

  void Store(std::string_view field, const host::Dispatch& control) {
    const Field f = Find(field);
    if (f.plain)
      *f.plain = control;
    else
      f.evented->Set(control);
  }
  const host::Dispatch& Read(std::string_view field) {
    const Field f = Find(field);
    return f.plain ? *f.plain : **f.evented;
  }

 private:
  Connector& c_;
};

}  // namespace frambolist::connectors
