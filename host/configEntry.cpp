// ConfigEntry: the configuration request dispatcher, and the requests that
// load, choose and save the configuration.
//
// While errorLatch is set, codes 11, 21, 40 and 47 are refused; only code 49
// clears it. Codes not handled here leave the packet exactly as it came.
#include <cstdint>
#include <cstring>

#include "host/configEntry.h"
#include "dialogs/launchers.h"
#include "host/deviceInit.h"
#include "host/fixedReplies.h"
#include "host/identify.h"
#include "host/languageTables.h"
#include "host/showMessage.h"
#include "tavix/penSettingsFile.h"
#include "tavix/driverState.h"
#include "tavix/entryPoints.h"
#include "tavix/hostServices.h"
#include "tavix/messages.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"
#include "settings/settingsDefaults.h"
#include "tavix/tables.h"

namespace tavix {
namespace {

constexpr int16_t MIN_INTERFACE_VERSION = 3;
static_assert(sizeof(ModelEntry::name) == modelPacket::NAME_SIZE);

int32_t modelIndexInRange(int32_t index) { return index >= 0 && index < MODEL_COUNT ? index : 0; }

void deviceInitialisation(uint8_t* packet) {
    writeI16(packet, PACKET_STATUS, static_cast<int16_t>(initialiseDevice()));
}

void identification(uint8_t* packet) {
    state.errorLatch = 0;
    identifyDriver(packet);
}

void language(uint8_t*) { loadLanguageTables(); }

struct ConfigRequest {
    int16_t code;
    void (*handler)(uint8_t* packet);
    bool refusedWhenLatched;
};

// Code 2 (end of the configuration) needs nothing.
constexpr ConfigRequest configRequests[] = {
    {11, answerInterfaceVersion, true},
    {20, chooseModel, false},
    {21, deviceInitialisation, true},
    {22, answerTable22, false},
    {23, answerTable23, false},
    {25, answerTable25, false},
    {40, answerCapabilities, true},
    {44, answerPenWidths, false},
    {47, saveConfiguration, true},
    {49, identification, false},
    {50, language, false},
};

void dispatch(uint8_t* packet, int16_t code) {
    for (const ConfigRequest& r : configRequests) {
        if (r.code != code) continue;
        if (r.refusedWhenLatched && state.errorLatch != 0) return refuseRequest(packet);
        return r.handler(packet);
    }
}

}  // namespace

void failConfiguration(uint8_t* packet, int messageSlot) {
    showMessageSlot(messageSlot);
    state.errorLatch = LATCH_CONFIG;
    refuseRequest(packet);
}

void answerInterfaceVersion(uint8_t* packet) {
    writeI16(packet, PACKET_STATUS, 0);
    if (readI16(packet, releasePacket::RELEASE) < MIN_INTERFACE_VERSION) {
        failConfiguration(packet, MSG_WRONG_RELEASE);
        return;
    }
    state.hostWindow = readU32(packet, releasePacket::HOST_WINDOW);
    writeI16(packet, releasePacket::RELEASE, 3);
    writeI16(packet, releasePacket::ZERO, 0);
}

// Loads the stored block, lets the user choose the model (starting at the
// stored one) and replies with the chosen model's name.
void chooseModel(uint8_t* packet) {
    PlotSettings loaded = state.settings;
    if (hostLoadSettings(loaded.bytes) == 0) {
        state.settings = loaded;
        state.selectedModel = modelIndexInRange(loaded.modelIndex());
    } else {
        state.selectedModel = 0;
    }
    showModelDialog();
    state.selectedModel = modelIndexInRange(state.selectedModel);
    state.currentModel = state.selectedModel;

    writeI16(packet, modelPacket::ZERO, 0);
    writeI16(packet, modelPacket::ONE, 1);
    std::memcpy(packet + modelPacket::NAME, modelEntry(state.selectedModel).name,
                modelPacket::NAME_SIZE);
    writeI16(packet, PACKET_STATUS, 0);
    writeI16(packet, modelPacket::LENGTH, modelPacket::REPLY_LENGTH);
}

// Saves the block for the chosen model, then the pen settings file.
void saveConfiguration(uint8_t* packet) {
    state.settings.setModelIndex(state.selectedModel);
    if (hostSaveSettings(state.settings.bytes) != 0) {
        failConfiguration(packet, MSG_CANNOT_SAVE);
        return;
    }
    writePenSettingsFile();  // the block is saved; the file is best effort
    writeI16(packet, PACKET_STATUS, 0);
}

}  // namespace tavix

extern "C" int TAVIX_ENTRY_CDECL ConfigEntry(uint8_t* packet) {
    using namespace tavix;
    if (packet == nullptr) return 0;
    state.currentPacket = packet;
    // Nothing may cross into the host: a failure inside becomes a refusal.
    try {
        dispatch(packet, readI16(packet, PACKET_STATUS));
    } catch (...) {
        refuseRequest(packet);
    }
    return 0;
}
