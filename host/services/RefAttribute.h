// The reference-attribute object: the request going into the dialog and the chosen account
// coming back, as seven properties in a fixed interface order.
#pragma once

#include "runtime/DispatchObject.h"

namespace sarvo::host {

// Viewpara1, Viewpara2, Viewreturn1, Viewreturn2, Viewreturn3, Viewreturn4 hold any value;
// ViewOK is a Boolean: what is put into it is converted (13 when it does not convert), and it
// starts False.
class RefAttribute : public PropertyBag {
public:
    RefAttribute();
    bool viewOK() const { return m_viewOK; }

private:
    bool m_viewOK = false;
};

} // namespace sarvo::host
