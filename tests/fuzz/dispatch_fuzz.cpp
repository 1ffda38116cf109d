// Runs one command identifier with arbitrary thresholds, clock values and
// MCI answers and delays, and checks the MCI traffic it causes.
#include "plugin/host_contract.h"
#include "plugin/plugin_state.h"
#include "tests/fake/fake_platform.h"
#include "tests/fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input = {data, size};
    ResetFake();
    g_PluginState = PluginState();

    const int32_t id = static_cast<int32_t>(input.Word());
    g_PluginState.Settings.Threshold = input.Word();
    g_fake.tick_ms = input.Word();
    // Up to six answers: enough for two full sequences.
    for (int i = 0; i < 6; ++i) {
        const uint8_t result = input.Byte();
        const uint32_t delay = input.Word();
        g_fake.mci_script.push_back({"", result % 2 == 0 ? 0u : 259u + result, delay});
    }

    const int32_t result = TTBEvent_Execute(id, static_cast<int32_t>(input.Word()));
    const std::vector<std::string> sent = FakeMciCommands();
    Check(result == 0 || result == 1, "result is 1 or 0");

    const int32_t group = id / 100;
    if (group < 1 || group > 3) {
        Check(sent.empty() && result == 0, "no MCI traffic and 0 for other groups");
        return 0;
    }
    const std::string open =
        std::string("open ") + static_cast<char>(id % 100 + 'A') + ": type cdaudio alias cdrom";

    // Walk the traffic sequence by sequence, with the answers each request got.
    size_t at = 0;
    int sequences = 0;
    bool last_door_ok = false;
    uint32_t first_sequence_ms = 0;
    while (at < sent.size()) {
        Check(sent[at] == open, "each sequence opens the named drive");
        ++sequences;
        const size_t start = at;
        const bool opened = g_fake.mci_script[at].result == 0;
        ++at;
        last_door_ok = false;
        if (opened) {
            const bool closing = group == 3 || (group == 1 && sequences == 2);
            Check(at < sent.size() &&
                      sent[at] == (closing ? "set cdrom door closed" : "set cdrom door open"),
                  "a good open is followed by the door command of the action");
            last_door_ok = g_fake.mci_script[at].result == 0;
            ++at;
            Check(at < sent.size() && sent[at] == "close cdrom", "every good open is closed once");
            ++at;
        }
        if (sequences == 1) {
            for (size_t i = start; i < at; ++i) {
                first_sequence_ms += g_fake.mci_script[i].delay_ms;
            }
        }
    }
    Check(sequences >= 1 && sequences <= 2, "one or two sequences");
    if (group == 1) {
        Check((sequences == 2) == (first_sequence_ms < g_PluginState.Settings.Threshold),
              "the toggle closes exactly when the open took less than the threshold");
    } else {
        Check(sequences == 1, "only the toggle runs a second sequence");
    }
    Check(result == (last_door_ok ? 1 : 0), "1 only when the last door command succeeded");
    ResetFake();
    return 0;
}
