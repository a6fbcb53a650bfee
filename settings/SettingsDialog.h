// The modal settings dialog. Windows only; it returns when the dialog has
// closed, with 0 whatever the user did.
#pragma once
#include <cstdint>

namespace pallowin {

std::int32_t ShowSettingsDialog(void* parentWindow);

}  // namespace pallowin
