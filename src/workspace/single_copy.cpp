#include "workspace/single_copy.h"

#include "data/book_lock.h"
#include "platform/prompts.h"
#include "platform/settings_store.h"
#include "platform/vb_error.h"
#include "workspace/forms.h"
#include "workspace/vantrel_mdi.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <unistd.h>

namespace pb {

namespace {

const QByteArray kRequest = "come forward\n";
const QByteArray kAnswer = "coming\n";

QString canonicalFolder(const QString& folder) {
    const QString real = QFileInfo(folder).canonicalFilePath();
    return real.isEmpty() ? QDir(folder).absolutePath() : real;
}

} // namespace

SingleCopy::SingleCopy(const QString& programFolder)
    : onLaterStart(bringFrameForward), m_serverName(serverNameOf(programFolder)),
      m_lock(std::make_unique<QLockFile>(lockFileOf(programFolder))) {}

SingleCopy::~SingleCopy() {
    // A copy started on the folder once the lock is free reads the settings this one left.
    try {
        SettingsStore::flush();
    } catch (const VbError&) {
        // Reported when the write first failed.
    }
}

QString SingleCopy::lockFileOf(const QString& programFolder) {
    return QDir(canonicalFolder(programFolder)).filePath(QStringLiteral(".dorvane-running.lock"));
}

QString SingleCopy::serverNameOf(const QString& programFolder) {
    const QByteArray key = QByteArray::number(::getuid()) + '\n' + canonicalFolder(programFolder).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex();
    return QStringLiteral("dorvane-") + QString::fromLatin1(hash.left(32));
}

bool SingleCopy::claim() {
    const QDeadlineTimer deadline(patience);
    for (;;) {
        if (takeLock(*m_lock)) {
            listen();
            return true;
        }
        // Nothing can be locked in the folder at all: this copy goes on as copies always did.
        if (m_lock->error() != QLockFile::LockFailedError) return true;
        // The first copy may hold the lock and not listen yet, or end meanwhile: both are tried again.
        if (askFirst(std::max<qint64>(deadline.remainingTime(), 100))) return false;
        if (deadline.hasExpired()) break;
        QThread::msleep(100);
    }
    MsgBox(QStringLiteral("Dorvane is already running on this program folder, but it does not answer.\r\n"
                          "Switch to the Dorvane window that is open, or close it and start Dorvane again."),
           mb::OKOnly | mb::Exclamation, kProgramTitle);
    return false;
}

void SingleCopy::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // This copy holds the folder: a socket left under its name was a dead copy's.
    QLocalServer::removeServer(m_serverName);
    // Should listening fail, later starts find the lock held and say that this copy runs.
    if (!m_server->listen(m_serverName)) return;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection())
            answer(socket);
    });
}

void SingleCopy::answer(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine() && socket->bytesAvailable() < kRequest.size()) return;
        const bool asked = socket->readLine(kRequest.size() + 1) == kRequest;
        // The answer goes first: the later start need not wait while the frame repaints.
        if (asked) socket->write(kAnswer);
        socket->disconnectFromServer();
        if (asked && onLaterStart) onLaterStart();
    });
}

bool SingleCopy::askFirst(int timeout) {
    QLocalSocket socket;
    QEventLoop loop;
    QTimer timer;
    bool answered = false;
    bool over = false;
    const auto finish = [&] {
        if (socket.canReadLine()) answered = socket.readLine(kAnswer.size() + 1) == kAnswer;
        over = true;
        loop.quit();
    };
    connect(&socket, &QLocalSocket::connected, &loop, [&] { socket.write(kRequest); });
    connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        if (socket.canReadLine()) finish();
    });
    connect(&socket, &QLocalSocket::errorOccurred, &loop, finish);
    connect(&socket, &QLocalSocket::disconnected, &loop, finish);
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, finish);
    timer.start(timeout);
    socket.connectToServer(m_serverName);
    // A first copy that is not there is known at once, before the loop runs.
    if (!over) loop.exec();
    return answered;
}

void SingleCopy::bringFrameForward() {
    VantrelMDI* frame = Forms::find<VantrelMDI>();
    // Still starting: the frame comes up of its own accord.
    if (!frame || !frame->isVisible()) return;
    if (frame->isMinimized()) frame->showNormal();
    frame->raise();
    frame->activateWindow();
}

} // namespace pb
