#include "settings/PluginSettings.h"

namespace pallowin {

TPluginSettings PluginSettings = DefaultSettings;

}  // namespace pallowin
