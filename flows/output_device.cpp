#include "flows/output_device.h"

#include <string>
#include <vector>

#include "audio/audio_output.h"
#include "audio/low_latency_output.h"
#include "base/menu.h"
#include "base/registry.h"
#include "flows/output_retry.h"
#include "resources/command_ids.h"

namespace {

constexpr char DeviceSetting[] = "OutputDevice";
// Endpoint ids are a few dozen characters; a longer value is none of ours.
constexpr size_t DeviceValueCapacity = 512;
constexpr char DefaultDeviceText[] = "Default Device";

enum class PlayingOn { Nothing, ChosenEndpoint, DefaultEndpoint };

struct OutputDeviceState {
    bool open = false;   // the low-latency output is the one in use
    std::string chosen;  // "" follows the default
    PlayingOn playingOn = PlayingOn::Nothing;
    std::vector<OutputEndpoint> listed;  // as the menu last showed them
};

OutputDeviceState state;

std::string rememberedEndpoint() {
    char value[DeviceValueCapacity];
    return readProgramSetting(DeviceSetting, value, sizeof value) ? std::string(value) : std::string();
}

bool moveTo(const std::string& endpointId, PlayingOn playingOn) {
    if (!moveLowLatencyStream(endpointId)) return false;
    state.playingOn = playingOn;
    return true;
}

// The chosen endpoint first, then the default; neither leaves the retry on.
void moveToBestEndpoint() {
    bool moved = (!state.chosen.empty() && moveTo(state.chosen, PlayingOn::ChosenEndpoint)) ||
                 moveTo("", PlayingOn::DefaultEndpoint);
    if (!moved) state.playingOn = PlayingOn::Nothing;
    scheduleOutputRetry(!moved);
}

bool isListed(const std::string& endpointId) {
    for (const OutputEndpoint& endpoint : listOutputEndpoints())
        if (endpoint.id == endpointId) return true;
    return false;
}

}  // namespace

bool openLowLatencyOutput() {
    state = OutputDeviceState();
    state.chosen = rememberedEndpoint();
    if (!state.chosen.empty() && openAudioOutput(AudioOutput::LowLatency, state.chosen))
        state.playingOn = PlayingOn::ChosenEndpoint;
    else if (openAudioOutput(AudioOutput::LowLatency, "")) state.playingOn = PlayingOn::DefaultEndpoint;
    else return false;
    state.open = true;
    return true;
}

void leaveLowLatencyOutput() {
    if (state.playingOn == PlayingOn::Nothing) scheduleOutputRetry(false);
    state = OutputDeviceState();
}

void onOutputLost() {
    if (state.open) moveToBestEndpoint();
}

void onOutputRetryDue() {
    if (state.open && state.playingOn == PlayingOn::Nothing) moveToBestEndpoint();
}

void onDefaultOutputChanged() {
    if (!state.open || state.playingOn == PlayingOn::ChosenEndpoint) return;
    if (state.playingOn == PlayingOn::DefaultEndpoint) moveTo("", PlayingOn::DefaultEndpoint);
    else moveToBestEndpoint();
}

void onOutputEndpointsChanged() {
    if (!state.open || state.chosen.empty()) return;
    if (state.playingOn != PlayingOn::ChosenEndpoint) {
        if (moveTo(state.chosen, PlayingOn::ChosenEndpoint)) scheduleOutputRetry(false);
        return;
    }
    // The endpoint in use was removed or disabled: moved at once, before the
    // next note starts on a stream that is gone.
    if (!isListed(state.chosen)) moveToBestEndpoint();
}

void refreshOutputDeviceMenu() {
    state.listed = state.open ? listOutputEndpoints() : std::vector<OutputEndpoint>();
    std::vector<MenuListItem> items = {{DefaultDeviceText, state.open && state.chosen.empty()}};
    for (const OutputEndpoint& endpoint : state.listed)
        items.push_back({endpoint.name, state.open && endpoint.id == state.chosen});
    setMenuList(CMD_OUTPUT_DEVICE_FIRST, CMD_OUTPUT_DEVICE_LAST, items, state.open);
}

void chooseOutputDevice(int index) {
    if (!state.open || index < 0 || static_cast<size_t>(index) > state.listed.size()) return;
    std::string chosen = index == 0 ? std::string() : state.listed[static_cast<size_t>(index) - 1].id;
    bool playsThere = state.playingOn == (chosen.empty() ? PlayingOn::DefaultEndpoint : PlayingOn::ChosenEndpoint);
    if (chosen == state.chosen && playsThere) return;  // already there: no gap for nothing
    state.chosen = chosen;
    writeProgramSetting(DeviceSetting, state.chosen.c_str());
    moveToBestEndpoint();
}
