#include "support/MariaDbServer.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

enum class State
{
    NotStarted,
    Running,
    Failed
};

struct Instance
{
    std::unique_ptr<MariaDbServer> server;
    State state = State::NotStarted;
    QString failure;
};

Instance& instanceSlot()
{
    static Instance slot;
    return slot;
}

int freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

QString findOdbcDriver()
{
    QStringList folders{QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc")};
    for (const QString& multiarch :
         QDir(QStringLiteral("/usr/lib")).entryList({QStringLiteral("*-linux-gnu*")}, QDir::Dirs))
        folders.append(QStringLiteral("/usr/lib/") + multiarch + QStringLiteral("/odbc"));
    folders << QStringLiteral("/usr/lib/odbc") << QStringLiteral("/usr/lib64") << QStringLiteral("/usr/local/lib");
    for (const QString& folder : folders) {
        const QString candidate = folder + QStringLiteral("/libmaodbc.so");
        if (QFile::exists(candidate))
            return candidate;
    }
    return {};
}

bool writeFile(const QString& path, const QString& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content.toUtf8()) >= 0 && file.flush();
}

bool runProgram(const QString& program, const QStringList& arguments, int timeoutMs, QString* whyNot)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs)) {
        *whyNot = program + QStringLiteral(" cannot start: ") + process.errorString();
        return false;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        *whyNot = program + QStringLiteral(" did not finish in time");
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *whyNot = program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAll()).right(2000);
        return false;
    }
    return true;
}

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

// Starts nothing itself: the server is started by the first test that needs it, and stopped here
// while the application object still exists.
class MariaDbEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { MariaDbServer::prepareOdbcConfiguration(); }
    void TearDown() override { MariaDbServer::stopInstance(); }
};

[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment(new MariaDbEnvironment);

} // namespace

MariaDbServer::MariaDbServer()
    : m_dir(std::make_unique<QTemporaryDir>())
{
}

MariaDbServer::~MariaDbServer()
{
    stop();
}

void MariaDbServer::prepareOdbcConfiguration()
{
    Instance& slot = instanceSlot();
    if (slot.server)
        return;
    slot.server.reset(new MariaDbServer());
    const QString folder = slot.server->m_dir->path();
    // The driver manager reads these when it first connects; the data source is filled in at start.
    writeFile(folder + QStringLiteral("/odbc.ini"), QString());
    writeFile(folder + QStringLiteral("/odbcinst.ini"), QString());
    qputenv("ODBCSYSINI", QFile::encodeName(folder));
    qputenv("ODBCINI", QFile::encodeName(folder + QStringLiteral("/odbc.ini")));
}

MariaDbServer* MariaDbServer::instance(QString* whyNot)
{
    Instance& slot = instanceSlot();
    if (!slot.server)
        prepareOdbcConfiguration();
    if (slot.state == State::NotStarted) {
        QString failure;
        slot.state = slot.server->start(&failure) ? State::Running : State::Failed;
        slot.failure = QStringLiteral("MariaDB test server unavailable: ") + failure;
        if (slot.state == State::Failed)
            slot.server->stop();
    }
    if (slot.state == State::Running)
        return slot.server.get();
    if (whyNot)
        *whyNot = slot.failure;
    return nullptr;
}

void MariaDbServer::stopInstance()
{
    Instance& slot = instanceSlot();
    if (slot.server)
        slot.server->stop();
    slot.server.reset();
    slot.state = State::NotStarted;
}

QString MariaDbServer::connectionString() const
{
    return QStringLiteral("PROVIDER=MSDASQL;dsn=") + dsn() + QStringLiteral(";uid=") + user() +
           QStringLiteral(";pwd=") + password() + QStringLiteral(";database= ;");
}

QString MariaDbServer::adminConnectionString() const
{
    return QStringLiteral("DSN=") + dsn() + QStringLiteral(";UID=laadmin;PWD=La-Admin.7;");
}

bool MariaDbServer::runClient(const QString& sql, QString* whyNot)
{
    return runProgram(QStringLiteral("mariadb"),
                      {QStringLiteral("--no-defaults"),
                       QStringLiteral("--socket=") + m_dir->filePath(QStringLiteral("mysqld.sock")),
                       QStringLiteral("--user=root"),
                       QStringLiteral("--execute=") + sql},
                      60000,
                      whyNot);
}

bool MariaDbServer::start(QString* whyNot)
{
    if (!m_dir->isValid()) {
        *whyNot = QStringLiteral("no temporary folder");
        return false;
    }
    const QString driver = findOdbcDriver();
    if (driver.isEmpty()) {
        *whyNot = QStringLiteral("libmaodbc.so not found (package odbc-mariadb)");
        return false;
    }
    QString installDb = QStandardPaths::findExecutable(QStringLiteral("mariadb-install-db"));
    QString serverProgram = QStandardPaths::findExecutable(QStringLiteral("mariadbd"), {QStringLiteral("/usr/sbin")});
    if (serverProgram.isEmpty())
        serverProgram = QStandardPaths::findExecutable(QStringLiteral("mariadbd"));
    if (installDb.isEmpty() || serverProgram.isEmpty()) {
        *whyNot = QStringLiteral("mariadb-install-db or mariadbd not found (package mariadb-server)");
        return false;
    }
    const QString dataDir = m_dir->filePath(QStringLiteral("data"));
    const QString socket = m_dir->filePath(QStringLiteral("mysqld.sock"));
    // Servers of test programs running side by side must not share temporary files.
    const QString tmpDir = m_dir->filePath(QStringLiteral("tmp"));
    QDir().mkpath(tmpDir);
    QStringList install{QStringLiteral("--no-defaults"),
                        QStringLiteral("--datadir=") + dataDir,
                        QStringLiteral("--auth-root-authentication-method=normal"),
                        QStringLiteral("--skip-test-db"),
                        QStringLiteral("--innodb-log-file-size=8M"),
                        QStringLiteral("--tmpdir=") + tmpDir};
    if (runningAsRoot())
        install.append(QStringLiteral("--user=root"));
    if (!runProgram(installDb, install, 120000, whyNot))
        return false;

    m_port = freeLoopbackPort();
    if (m_port == 0) {
        *whyNot = QStringLiteral("no free loopback port");
        return false;
    }
    // The host pads CHAR values to their width; MariaDB strips the padding unless told otherwise.
    QStringList arguments{QStringLiteral("--no-defaults"),
                          QStringLiteral("--datadir=") + dataDir,
                          QStringLiteral("--socket=") + socket,
                          QStringLiteral("--port=%1").arg(m_port),
                          QStringLiteral("--bind-address=127.0.0.1"),
                          QStringLiteral("--skip-networking=0"),
                          QStringLiteral("--pid-file=") + m_dir->filePath(QStringLiteral("mysqld.pid")),
                          QStringLiteral("--sql-mode=STRICT_TRANS_TABLES,PAD_CHAR_TO_FULL_LENGTH"),
                          QStringLiteral("--character-set-server=utf8mb4"),
                          QStringLiteral("--collation-server=utf8mb4_unicode_ci"),
                          QStringLiteral("--innodb-buffer-pool-size=16M"),
                          QStringLiteral("--innodb-log-file-size=8M"),
                          QStringLiteral("--tmpdir=") + tmpDir};
    if (runningAsRoot())
        arguments.append(QStringLiteral("--user=root"));
    m_server = std::make_unique<QProcess>();
    // A file, not a pipe: a pipe nobody reads would stall the server once its log fills it.
    m_server->setStandardOutputFile(m_dir->filePath(QStringLiteral("server.log")));
    m_server->setStandardErrorFile(m_dir->filePath(QStringLiteral("server.log")), QIODevice::Append);
    m_server->start(serverProgram, arguments);
    if (!m_server->waitForStarted(30000)) {
        *whyNot = QStringLiteral("mariadbd cannot start: ") + m_server->errorString();
        return false;
    }
    // The server creates its socket once it accepts connections: wait for that, the server's exit
    // or the deadline, whichever comes first.
    {
        QEventLoop loop;
        QFileSystemWatcher watcher({m_dir->path()});
        QTimer deadline;
        deadline.setSingleShot(true);
        const auto check = [&] {
            if (QFileInfo::exists(socket) || m_server->state() == QProcess::NotRunning)
                loop.quit();
        };
        QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, &loop, check);
        QObject::connect(m_server.get(), &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        deadline.start(90000);
        check();
        if (!QFileInfo::exists(socket) && m_server->state() == QProcess::Running)
            loop.exec();
    }
    if (!QFileInfo::exists(socket) || m_server->state() != QProcess::Running) {
        QFile log(m_dir->filePath(QStringLiteral("server.log")));
        log.open(QIODevice::ReadOnly);
        *whyNot = QStringLiteral("mariadbd does not answer:\n") + QString::fromLocal8Bit(log.readAll()).right(3000);
        return false;
    }
    const QString setup = QStringLiteral("CREATE DATABASE LIB1;"
                                         "CREATE USER 'lauser'@'localhost' IDENTIFIED BY '%1';"
                                         "CREATE USER 'lauser'@'127.0.0.1' IDENTIFIED BY '%1';"
                                         "GRANT SELECT ON LIB1.* TO 'lauser'@'localhost';"
                                         "GRANT SELECT ON LIB1.* TO 'lauser'@'127.0.0.1';"
                                         "CREATE USER 'laadmin'@'localhost' IDENTIFIED BY 'La-Admin.7';"
                                         "CREATE USER 'laadmin'@'127.0.0.1' IDENTIFIED BY 'La-Admin.7';"
                                         "GRANT ALL ON *.* TO 'laadmin'@'localhost' WITH GRANT OPTION;"
                                         "GRANT ALL ON *.* TO 'laadmin'@'127.0.0.1' WITH GRANT OPTION;")
                              .arg(password());
    if (!runClient(setup, whyNot))
        return false;

    const QString folder = m_dir->path();
    if (!writeFile(folder + QStringLiteral("/odbcinst.ini"),
                   QStringLiteral("[%1]\nDescription=MariaDB Connector/ODBC for the tests\nDriver=%2\n")
                       .arg(driverName(), driver)) ||
        !writeFile(
            folder + QStringLiteral("/odbc.ini"),
            QStringLiteral("[%1]\nDriver=%2\nSERVER=127.0.0.1\nPORT=%3\n").arg(dsn(), driverName()).arg(m_port))) {
        *whyNot = QStringLiteral("cannot write the ODBC configuration");
        return false;
    }
    return true;
}

void MariaDbServer::stop()
{
    if (!m_server)
        return;
    if (m_server->state() != QProcess::NotRunning) {
        QString ignored;
        runProgram(QStringLiteral("mariadb-admin"),
                   {QStringLiteral("--no-defaults"),
                    QStringLiteral("--socket=") + m_dir->filePath(QStringLiteral("mysqld.sock")),
                    QStringLiteral("--user=root"),
                    QStringLiteral("shutdown")},
                   30000,
                   &ignored);
        if (!m_server->waitForFinished(30000)) {
            m_server->terminate();
            if (!m_server->waitForFinished(10000))
                m_server->kill();
            m_server->waitForFinished(5000);
        }
    }
    m_server.reset();
}
