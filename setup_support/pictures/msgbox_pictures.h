// The message box's body pictures: a round blue sign with an "i" (OK
// only), one with a question mark (OK and Cancel), and the crash box's sad
// face beside a red band, 256 x 80.
#pragma once

#include "picture_canvas.h"

namespace zz {

PictureCanvas MsgBoxInformation();
PictureCanvas MsgBoxQuestion();
PictureCanvas MsgBoxCrash();

}  // namespace zz
