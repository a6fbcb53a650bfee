#include "plugin/ProducePicture.h"

namespace pallowin {

std::int32_t ProducePicture(const char*, HostValue, std::uint32_t, platform::HostBlock*,
                            platform::HostBlock*, ProgressCallback, HostValue, bool) {
    return rcNotImplemented;
}

}  // namespace pallowin
