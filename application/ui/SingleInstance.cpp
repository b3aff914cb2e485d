// The single-instance lock and the hand-over socket.
#include "application/ui/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <functional>

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

namespace {

constexpr int kConnectTimeoutMs = 2000;
constexpr int kHeaderBytes = 12;
constexpr const char* kFolderName = "vesk-corvantine-editor";

void PutU32(QByteArray& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

std::uint32_t GetU32(const QByteArray& bytes, int offset)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    }
    return value;
}

// UTF-16 (little-endian) up to the first zero unit; an odd last byte is dropped.
std::u16string TextOf(const QByteArray& bytes)
{
    std::u16string text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (unit == u'\0') {
            break;
        }
        text.push_back(unit);
    }
    return text;
}

// Only the user's own processes may hand anything over.
bool PeerIsThisUser(const QLocalSocket& socket)
{
    ucred credentials{};
    socklen_t length = sizeof(credentials);
    if (::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) {
        return false;
    }
    return credentials.uid == ::getuid();
}

}  // namespace

std::string EditorInstanceName(const std::optional<std::filesystem::path>& virtualDeviceFolder)
{
    if (!virtualDeviceFolder) {
        return kEditorInstanceName;
    }
    // Short, as the socket's whole path must fit a socket address.
    const std::uint64_t hash = std::hash<std::string>{}(virtualDeviceFolder->lexically_normal().string());
    char text[9] = {};
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>((hash ^ (hash >> 32)) & 0xFFFFFFFFu));
    return std::string(kEditorInstanceName) + "-" + text;
}

std::optional<std::filesystem::path> PrepareInstanceFolder(const std::filesystem::path& folder)
{
    ::mkdir(folder.c_str(), 0700);
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::getuid()) {
        return std::nullopt;
    }
    if ((status.st_mode & 0077) != 0 && ::chmod(folder.c_str(), 0700) != 0) {
        return std::nullopt;
    }
    return folder;
}

SingleInstance::SingleInstance(std::filesystem::path folder, std::string name)
    : m_folder(std::move(folder)), m_name(std::move(name))
{
    if (m_folder.empty()) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty()) {
            m_folder = std::filesystem::path(runtime.toStdString()) / kFolderName;
        }
    }
}

SingleInstance::~SingleInstance()
{
    if (m_server) {
        m_server->close();
        m_server.reset();
        ::unlink(SocketPath().c_str());
    }
    if (m_lockFd >= 0) {
        ::close(m_lockFd);
    }
}

std::filesystem::path SingleInstance::SocketPath() const
{
    return m_folder / (m_name + ".sock");
}

SingleInstance::Outcome SingleInstance::Claim(const std::optional<std::filesystem::path>& fileToOpen)
{
    if (m_folder.empty() || !PrepareInstanceFolder(m_folder)) {
        return Outcome::Alone;
    }
    const std::filesystem::path lockPath = m_folder / (m_name + ".lock");
    m_lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd < 0) {
        return Outcome::Alone;
    }
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0) {
        return Outcome::First;
    }
    ::close(m_lockFd);
    m_lockFd = -1;
    std::u16string text;
    std::uint32_t dataWord = HandOver::kRaiseOnly;
    if (fileToOpen) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(*fileToOpen, error);
        text = QString::fromStdString((error ? *fileToOpen : absolute).string()).toStdU16String();
        dataWord = HandOver::kOpenFile;
    }
    const std::optional<std::int32_t> answer = SendRequest(SocketPath(), dataWord, text);
    if (!answer) {
        return Outcome::Alone;
    }
    m_lastAnswer = *answer;
    return Outcome::HandedOver;
}

std::optional<std::int32_t> SingleInstance::SendRequest(const std::filesystem::path& socketPath,
                                                        std::uint32_t dataWord, const std::u16string& text)
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath.string()));
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        return std::nullopt;
    }
    QByteArray request;
    QByteArray payload;
    if (dataWord != HandOver::kRaiseOnly) {
        for (char16_t unit : text) {
            payload.append(static_cast<char>(unit & 0xFF));
            payload.append(static_cast<char>(unit >> 8));
        }
        payload.append('\0');
        payload.append('\0');
    }
    PutU32(request, HandOver::kMagic);
    PutU32(request, dataWord);
    PutU32(request, static_cast<std::uint32_t>(payload.size()));
    request.append(payload);
    socket.write(request);
    if (!socket.waitForBytesWritten(kConnectTimeoutMs)) {
        return std::nullopt;
    }
    QByteArray answer;
    while (answer.size() < 4) {
        if (!socket.waitForReadyRead(HandOver::kAnswerTimeoutMs)) {
            return std::nullopt;
        }
        answer.append(socket.readAll());
    }
    return static_cast<std::int32_t>(GetU32(answer, 0));
}

bool SingleInstance::Listen(Handler handler)
{
    if (m_lockFd < 0) {
        return false;
    }
    m_handler = std::move(handler);
    // The lock is ours, so a socket file left behind belongs to an editor that is gone.
    QLocalServer::removeServer(QString::fromStdString(SocketPath().string()));
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(QString::fromStdString(SocketPath().string()))) {
        m_server.reset();
        return false;
    }
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(), [this] { OnConnection(); });
    return true;
}

bool SingleInstance::IsListening() const
{
    return m_server && m_server->isListening();
}

void SingleInstance::OnConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsThisUser(*socket)) {
            socket->abort();
            continue;
        }
        // A sender that stalls is dropped rather than kept forever.
        QTimer::singleShot(HandOver::kAnswerTimeoutMs, socket, [socket] { socket->abort(); });
        auto buffer = std::make_shared<QByteArray>();
        auto answered = std::make_shared<bool>(false);
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, buffer, answered] {
            if (*answered) {
                return;
            }
            if (buffer->size() < kHeaderBytes) {
                buffer->append(socket->read(kHeaderBytes - buffer->size()));
                if (buffer->size() < kHeaderBytes) {
                    return;
                }
            }
            const std::uint32_t magic = GetU32(*buffer, 0);
            const std::uint32_t dataWord = GetU32(*buffer, 4);
            const std::uint32_t size = GetU32(*buffer, 8);
            std::int32_t answer = 0;
            if (magic == HandOver::kMagic && size <= HandOver::kMaxBytes) {
                // Never more than the bytes the header declares.
                const qsizetype missing = kHeaderBytes + static_cast<qsizetype>(size) - buffer->size();
                if (missing > 0) {
                    buffer->append(socket->read(missing));
                }
                if (buffer->size() < kHeaderBytes + static_cast<qsizetype>(size)) {
                    return;
                }
                *answered = true;
                QPointer<QLocalSocket> alive(socket);
                answer = m_handler ? m_handler(dataWord, TextOf(buffer->mid(kHeaderBytes, size))) : 0;
                // The handler may have run a dialog, during which the sender could go.
                if (!alive) {
                    return;
                }
            }
            *answered = true;
            QByteArray reply;
            PutU32(reply, static_cast<std::uint32_t>(answer));
            socket->write(reply);
            socket->flush();
            socket->disconnectFromServer();
        });
        if (socket->bytesAvailable() > 0) {
            emit socket->readyRead();
        }
    }
}
