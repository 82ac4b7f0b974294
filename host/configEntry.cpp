// ConfigEntry: the configuration request dispatcher, and the requests that
// load, choose and save the configuration.
//
// While errorLatch is set, codes
// 11, 21, 40 and 47 are refused; only code 49 clears it. Codes not handled
// here leave the packet exactly as it came.
#include <cstdint>
#include <cstring>

#include "host/configHandlers.h"
#include "tavix/configRequests.h"
#include "tavix/dialogLaunchers.h"
#include "tavix/driverState.h"
#include "tavix/entryPoints.h"
#include "tavix/hostServices.h"
#include "tavix/messages.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"
#include "tavix/settingsStore.h"
#include "tavix/tables.h"

namespace tavix {
namespace {

constexpr int16_t MIN_INTERFACE_VERSION = 3;
static_assert(sizeof(ModelEntry::name) == modelPacket::NAME_SIZE);

int32_t modelIndexInRange(int32_t index) { return index >= 0 && index < MODEL_COUNT ? index : 0; }

void dispatch(uint8_t* packet, int16_t code) {
    const bool latched = state.errorLatch != 0;
    switch (code) {
    case 2:
        break;
    case 11:
        if (latched) return refuseRequest(packet);
        answerInterfaceVersion(packet);
        break;
    case 20:
        chooseModel(packet);
        break;
    case 21:
        if (latched) return refuseRequest(packet);
        writeI16(packet, PACKET_STATUS, static_cast<int16_t>(initialiseDevice()));
        break;
    case 22:
        answerTable22(packet);
        break;
    case 23:
        answerTable23(packet);
        break;
    case 25:
        answerTable25(packet);
        break;
    case 40:
        if (latched) return refuseRequest(packet);
        answerCapabilities(packet);
        break;
    case 44:
        answerPenWidths(packet);
        break;
    case 47:
        if (latched) return refuseRequest(packet);
        saveConfiguration(packet);
        break;
    case 49:
        state.errorLatch = 0;
        identifyDriver(packet);
        break;
    case 50:
        loadLanguageTables();
        break;
    default:
        break;
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
