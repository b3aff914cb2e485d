// Writes the fuzz targets' first corpora: files that the project's own writers produce and
// the data files that ship in Data/. Usage: make-fuzz-seeds <corpus folder>; each target's
// seeds go to <corpus folder>/<target>/.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "application/document/BlockDiagramFile.h"
#include "application/document/ProjectFile.h"
#include "application/settings/SettingsFile.h"
#include "device_library/src/protocol/Packet.h"
#include "dsp_blocks/blocks/ControllerFactory.h"
#include "platform/base/ByteOrder.h"
#include "platform/base/ByteStreamMemory.h"
#include "platform/base/TextLineReader.h"
#include "tests/fuzz/FuzzData.h"
#include "tests/fuzz/ProtocolStepInput.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace qd = QuarryDriver;

std::filesystem::path g_corpus;

void Seed(const char* target, const std::string& name, const void* data, std::size_t size)
{
    const std::filesystem::path folder = g_corpus / target;
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary).write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void Seed(const char* target, const std::string& name, const std::string& text)
{
    Seed(target, name, text.data(), text.size());
}

// A design of each model as the document builds it: its diagram and committed controllers.
std::vector<std::unique_ptr<DiagramBlock>> Design(ModelType model)
{
    std::vector<std::unique_ptr<DiagramBlock>> owned;
    ReadBlockDiagramText(fuzz::ShippedFile(std::string(BlockDiagramFileName(model)).c_str()), owned);
    std::vector<DiagramBlock*> blocks;
    for (const auto& block : owned) {
        blocks.push_back(block.get());
    }
    std::vector<std::unique_ptr<CController>> controllers;
    CreateControllers(blocks, controllers);
    for (const auto& controller : controllers) {
        controller->SetModel(model);
    }
    return owned;
}

void DesignSeeds()
{
    for (int model = 0; model <= static_cast<int>(ModelType::MV340A); ++model) {
        const auto blocks = Design(static_cast<ModelType>(model));
        platform::MemoryStream* stream = platform::MemoryStream::Create();
        const platform::ByteStreamRef hold = platform::ByteStreamRef::Adopt(stream);
        WriteProjectStream(stream, static_cast<ModelType>(model), blocks, static_cast<std::uint8_t>(model % 2));
        Seed("project_file", "model" + std::to_string(model) + ".cvp", stream->Bytes().data(), stream->Bytes().size());
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const ByteBlob& blob = blocks[i]->paramBlob;
            Seed("chunks", "model" + std::to_string(model) + "-block" + std::to_string(i), blob.Data(), blob.Size());
        }
    }
}

void SettingsSeeds()
{
    const AppSettings defaults;
    AppSettings changed;
    changed.framePlacement.showCmd = 3;
    changed.framePlacement.normalPosition = SettingsRect{10, 20, 800, 600};
    changed.inputEqMode[2] = 2;
    changed.inputEqWidthIsQ = 0;
    for (const AppSettings* settings : {&defaults, static_cast<const AppSettings*>(&changed)}) {
        platform::MemoryStream* stream = platform::MemoryStream::Create();
        const platform::ByteStreamRef hold = platform::ByteStreamRef::Adopt(stream);
        WriteAppSettingsStream(stream, *settings);
        Seed("settings", settings == &changed ? "changed.dat" : "defaults.dat", stream->Bytes().data(),
             stream->Bytes().size());
    }
}

void TextSeeds()
{
    Seed("version_text", "VersionHack.txt", fuzz::ShippedFile("VersionHack.txt"));
    Seed("version_text", "versions.txt", std::string("V5.20\nv5_12\nVer5..2\n5.21 => 5.20\nV1.0 => V5.12 tail\n"));
    for (const char* diagram : {"BlockDiagram.txt", "BlockDiagram2.txt"}) {
        const std::string text = fuzz::ShippedFile(diagram);
        Seed("block_diagram", diagram, text);
        platform::TextLineReader lines(text);
        std::string line;
        for (int n = 0; lines.ReadLine(line); ++n) {
            // Eight bytes choose the conversions, as the tokenizer target reads them.
            Seed("tokenizer", std::string(diagram) + "-" + std::to_string(n), std::string("\x00\x01\x01\x01\x01\x02\x03\x04", 8) + line);
        }
    }
    const std::string list = fuzz::ShippedFile("SpeakerEQ_list.dat");
    const std::string head{static_cast<char>(list.size() & 0xFF), static_cast<char>(list.size() >> 8)};
    Seed("speaker_eq", "shipped", head + list + fuzz::ShippedFile("SpeakerEQ_defs.xml"));
}

// The replies of a device that accepts every request of one step.
class Conversation {
public:
    void Reply(std::uint8_t code, const char* tag, std::uint32_t value = 0)
    {
        qd::Packet packet{};
        packet[0] = code;
        for (int i = 0; i < 3; ++i) {
            packet[1 + i] = static_cast<std::uint8_t>(tag[i]);
        }
        platform::StoreBigEndian<std::uint32_t>(value, packet.data() + 4);
        replies_.insert(replies_.end(), packet.begin(), packet.end());
    }
    void Ready() { Reply(qd::kReplyRea, "REA"); }
    void Ack() { Ready(); Reply(qd::kReplyAck, "ACK"); }
    void Data(const std::uint8_t* bytes, std::size_t count)
    {
        Ready();
        qd::Packet packet{};
        packet[0] = qd::kReplyDat;
        packet[1] = 'D';
        packet[2] = 'A';
        packet[3] = 'T';
        std::copy(bytes, bytes + count, packet.begin() + 4);
        replies_.insert(replies_.end(), packet.begin(), packet.end());
    }
    const Bytes& Replies() const { return replies_; }

private:
    Bytes replies_;
};

void ProtocolSeeds()
{
    for (std::uint8_t step = 0; step < 10; ++step) {
        const std::uint8_t head[fuzz::kStepHeadBytes] = {step, 0, 5, 0x20, 0, 0x01, 0x10, 0x02, 1, 0, 1, 0, 0, 0};
        const fuzz::StepInput in = fuzz::ReadStepHead(head);
        Conversation device;
        switch (step) {
        case 0: device.Ack(); device.Ack(); break;
        case 1: device.Ready(); device.Reply(qd::kReplyInv, "INV", 0x41505000); break;
        case 2: case 3: case 7: {
            device.Ack();
            device.Ack();
            Bytes sent;
            for (std::uint32_t at = 0; at < in.readLength; at += qd::kReadChunkBytes) {
                device.Ready();
                device.Reply(qd::kReplySkp, "SKP", 0);
                Bytes chunk(std::min<std::size_t>(qd::kReadChunkBytes, in.readLength - at), static_cast<std::uint8_t>(at));
                device.Data(chunk.data(), chunk.size());
                sent.insert(sent.end(), chunk.begin(), chunk.end());
            }
            device.Ready();
            device.Reply(qd::kReplyChe, "CHE", qd::ChecksumAdd(0, sent.data(), sent.size()));
            break;
        }
        case 4: case 5: case 8:
            device.Ack();
            device.Ack();
            for (std::size_t block = 0; block < in.written.size(); block += 256) {
                if (in.written[block] == 0xFF) {
                    continue;
                }
                for (int packet = 0; packet < 5; ++packet) {
                    device.Ack();
                }
                device.Ready();
                device.Reply(qd::kReplyChe, "CHE", qd::ChecksumAdd(0, in.written.data() + block, 256));
            }
            device.Ack();
            break;
        case 6: device.Ack(); device.Ready(); break;
        default: {
            device.Ack();
            device.Ack();
            device.Ack();
            const std::uint8_t words[6] = {0, 1, 0, 0, 0, 0};
            device.Ready();
            device.Reply(qd::kReplyChe, "CHE", qd::ChecksumAdd(0, words, sizeof words));
            device.Ack();
            break;
        }
        }
        Bytes seed(head, head + sizeof head);
        seed.insert(seed.end(), device.Replies().begin(), device.Replies().end());
        Seed("protocol_step", "step" + std::to_string(step), seed.data(), seed.size());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-seeds <corpus folder>\n");
        return 2;
    }
    g_corpus = argv[1];
    fuzz::LoadShippedSpeakerEq();
    DesignSeeds();
    SettingsSeeds();
    TextSeeds();
    ProtocolSeeds();
    return 0;
}
