// Per-call time and heap allocations of the file check and the other cheap
// calls. Usage: spine_bench [seconds per case, default 0.3]
// A host browsing a folder calls IsSupported once per file, so this is the
// price of every file it lists.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "bench/CallMeasure.h"
#include "drawing/JwFormat.h"
#include "platform/PortableControl.h"
#include "plugin/Exports.h"
#include "plugin/InSPIBody.h"
#include "settings/PluginSettings.h"
#include "settings/SettingsStore.h"

int main(int argc, char** argv) {
    if (argc > 1) pallowin::bench::secondsPerCase = std::atof(argv[1]);
    using namespace pallowin;
    // Calls of a few nanoseconds: batches long enough to hide the clock.
    const auto Measure = [](const std::string& label, const std::function<void()>& call) {
        bench::Measure(label, call, 64);
    };
    platform::portable::ClearRegistry();
    PluginStartup();

    std::vector<std::uint8_t> head(2048, '.');
    std::memcpy(head.data(), DrawingSignature, SignatureLength);
    std::vector<std::uint8_t> other(2048, 'z');

    Measure("IsSupported, buffer, drawing", [&] { IsSupported("plan.jwc", head.data()); });
    Measure("IsSupported, buffer, not recognised", [&] { IsSupported("photo.jpg", other.data()); });
    PluginSettings.BakMode = true;
    const std::string longName =
        std::string("C:\\\x90\x7D\x96\xCA\\") + std::string(200, '\x95') + "\x5C" + "plan.jwc";
    Measure("IsSupported, buffer, BakMode, 210-byte name", [&] { IsSupported(longName.c_str(), head.data()); });
    Measure("IsSupported, buffer, BakMode, .bak refused", [&] { IsSupported("plan.bak", head.data()); });
    PluginSettings.BakMode = false;

    char path[] = "/tmp/pallowin-bench-XXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0 && write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size())) {
        Measure("IsSupported, file handle (with a seek back)", [&] {
            lseek(fd, 0, SEEK_SET);
            IsSupported(path, reinterpret_cast<void*>(static_cast<std::intptr_t>(fd)));
        });
        Measure("  the seek back alone", [&] { lseek(fd, 0, SEEK_SET); });
    }
    if (fd >= 0) close(fd);
    unlink(path);

    char info[64];
    Measure("GetPluginInfo", [&] { GetPluginInfo(3, info, sizeof info); });

    TPluginSettings settings = DefaultSettings;
    SaveSettingsToStore(settings);
    Measure("LoadSettings, in-memory store", [&] { LoadSettingsFromStore(settings); });
    Measure("SaveSettings, in-memory store", [&] { SaveSettingsToStore(settings); });

    PluginShutdown();
    return 0;
}
