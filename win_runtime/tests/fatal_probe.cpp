// Raises the runtime's fatal error; the test that starts it closes the box
// and checks the exit code.
#include "loader.h"
#include "message_box.h"

int main() { rt::FatalError(rt::kErrorTypeMismatch, "数据或数组类型不匹配"); }
