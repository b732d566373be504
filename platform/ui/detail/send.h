// MD_SEND(msg, wp, lp): sends a message to the control object's own window
// from a const member function (the control's state answers queries through
// the same messages that change it).
#pragma once

#include <type_traits>

#define MD_SEND(msg, wp, lp) \
  const_cast<std::remove_const_t<std::remove_pointer_t<decltype(this)>>*>(this)->SendMessage(msg, wp, lp)
