// The scripted amplifier used by the amplifier tests.
#include "ScriptedAmplifier.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "device_manager/amplifier/ParamWriteImage.h"

namespace CobaltDeviceManager::testing {

struct ScriptedAmplifier::State {
    std::mutex lock;  // guards every field
    std::uint8_t modelCode = 3;
    std::string version = "V5.20";
    std::array<std::uint8_t, 13> hwInfo{0, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 1, 0};
    std::array<std::uint8_t, 44> meter{};
    std::uint8_t ready = 1;
    std::vector<std::uint8_t> globalRecord = std::vector<std::uint8_t>(2048, 0);
    std::map<FakeOperationKind, OperationBehaviour> behaviours;
    OperationBehaviour meterBehaviour;
    OperationBehaviour readyBehaviour;
};

ScriptedAmplifier::ScriptedAmplifier() : m_state(std::make_shared<State>())
{
    m_state->globalRecord[0] = 'O';
    m_state->globalRecord[1] = 'F';
    // The script keeps the state alive on its own: the library may outlive this object.
    library->SetScript([state = m_state](const FakeOperationCall& call) { return Script(*state, call); });
}

void ScriptedAmplifier::SetIdentity(std::uint8_t modelCode, const std::string& version)
{
    std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->modelCode = modelCode;
    m_state->version = version;
}

void ScriptedAmplifier::SetHwInfo(const std::array<std::uint8_t, 13>& bytes)
{
    std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->hwInfo = bytes;
}

void ScriptedAmplifier::SetMeterBytes(const std::array<std::uint8_t, 44>& bytes)
{
    std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->meter = bytes;
}

void ScriptedAmplifier::SetReady(std::uint8_t ready)
{
    std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->ready = ready;
}

void ScriptedAmplifier::SetGlobalRecord(char polarity, char mute)
{
    std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->globalRecord[0] = static_cast<std::uint8_t>(polarity);
    m_state->globalRecord[1] = static_cast<std::uint8_t>(mute);
}

void ScriptedAmplifier::SetBehaviour(FakeOperationKind kind, const OperationBehaviour& behaviour)
{
    std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->behaviours[kind] = behaviour;
}

void ScriptedAmplifier::SetMeterBehaviour(const OperationBehaviour& behaviour)
{
    std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->meterBehaviour = behaviour;
}

void ScriptedAmplifier::SetReadyBehaviour(const OperationBehaviour& behaviour)
{
    std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->readyBehaviour = behaviour;
}

std::size_t ScriptedAmplifier::MeterReads() const
{
    const auto calls = library->Calls(FakeOperationKind::ReadMCUbyID);
    return static_cast<std::size_t>(std::count_if(calls.begin(), calls.end(), [](const FakeOperationCall& call) {
        return call.started && call.id == kMeterMemoryId;
    }));
}

std::size_t ScriptedAmplifier::ReadyReads() const
{
    const auto calls = library->Calls(FakeOperationKind::ReadMCUbyID);
    return static_cast<std::size_t>(std::count_if(calls.begin(), calls.end(), [](const FakeOperationCall& call) {
        return call.started && call.id == kReadyFlagMemoryId;
    }));
}

FakeOperationScript ScriptedAmplifier::Script(State& state, const FakeOperationCall& call)
{
    std::lock_guard<std::mutex> guard(state.lock);
    OperationBehaviour* behaviour = &state.behaviours[call.kind];
    FakeOperationScript script;
    switch (call.kind) {
    case FakeOperationKind::ReadBasicInfo: {
        script.payload.assign(92, 0);
        script.payload[0] = state.modelCode;
        std::memcpy(&script.payload[12], state.version.data(), std::min<std::size_t>(16, state.version.size()));
        break;
    }
    case FakeOperationKind::ReadHwInfo:
        script.payload.assign(state.hwInfo.begin(), state.hwInfo.end());
        break;
    case FakeOperationKind::ReadGlobalSettingInfoFromMCU:
        script.payload = state.globalRecord;
        break;
    case FakeOperationKind::ReadMCUbyID:
        if (call.id == kMeterMemoryId) {
            behaviour = &state.meterBehaviour;
            script.payload.assign(state.meter.begin(), state.meter.end());
        } else if (call.id == kReadyFlagMemoryId) {
            behaviour = &state.readyBehaviour;
            script.payload.assign(1, state.ready);
        }
        break;
    default:
        break;
    }
    script.latency = behaviour->latency;
    script.cancelReaction = behaviour->cancelReaction;
    if (behaviour->failures > 0) {
        --behaviour->failures;
        script.success = false;
    }
    return script;
}

AmplifierTimings QuickTimings()
{
    AmplifierTimings timings;
    timings.operationPoll = std::chrono::milliseconds(1);
    timings.readyPause = std::chrono::milliseconds(1);
    timings.disconnectRetry = std::chrono::milliseconds(1);
    return timings;
}

bool StoreFilledBlock(CobaltAmplifier& amplifier, std::int32_t type, std::int32_t channel, std::uint8_t fill)
{
    const auto layout = LayoutOfBlockType(type);
    if (!layout) {
        return false;
    }
    std::vector<std::uint8_t> coefficients(layout->coefficientSize, fill);
    std::vector<std::uint8_t> parameters(layout->parameterSize, fill);
    return amplifier.SetBlockParam(type, channel, coefficients.data(), layout->coefficientSize, parameters.data(),
                                   layout->parameterSize);
}

CobaltAmplifier* OpenAmplifier(ScriptedAmplifier& device, const AmplifierTimings& timings, const std::u16string& key,
                               bool* opened, const SessionFactory& sessions)
{
    CobaltAmplifier* amplifier = nullptr;
    if (!CreateCobaltAmplifier(key, device.library, timings, sessions, &amplifier)) {
        return nullptr;
    }
    const bool ok = amplifier->Open();
    if (opened != nullptr) {
        *opened = ok;
    }
    if (!ok) {
        ReleaseAmplifier(amplifier);
    }
    return amplifier;
}

void ReleaseAmplifier(CobaltAmplifier*& amplifier)
{
    if (amplifier != nullptr) {
        AsHandle(amplifier)->Release();
        amplifier = nullptr;
    }
}

}  // namespace CobaltDeviceManager::testing
