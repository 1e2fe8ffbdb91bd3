// The runtime's one source of the current date and time, so that tests can
// fix "today" and every period rule can be checked on any day.
#pragma once

#include "date_text.h"

namespace rt {

zz::DateTime Now();
void FixNowForTests(const zz::DateTime& now);
void UnfixNow();

}  // namespace rt
