// The runtime's private window messages, all in one place so that no two
// share a number.
#pragma once

#include <windows.h>

namespace rt {

// Posted to a runtime window after its lists were changed with drawing held
// back: drawing resumes once the handler that changed them has returned.
constexpr UINT kMsgResumeListDrawing = WM_APP + 1;

}  // namespace rt
