#include "plugin/PictureInfoBody.h"

namespace pallowin {

std::int32_t GetPictureInfoBody(const char*, HostValue, std::uint32_t, PictureInfo*) {
    return rcNotImplemented;
}

}  // namespace pallowin
