#pragma once
// Accessibility element handle of the simulated desktop: a node id. The handle
// stays valid after the node is gone; reads then fail with invalidElement.

#include "platform/Accessibility.h"
#include "platform/sim/SimWorld.h"

namespace quorix::platform {

class SimAXElement final : public AXElement {
  public:
    explicit SimAXElement(SimNodeId id) : id_(id) {}
    SimNodeId id() const { return id_; }

  private:
    SimNodeId id_;
};

}  // namespace quorix::platform
