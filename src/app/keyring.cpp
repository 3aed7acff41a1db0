#include "keyring.h"

#include <QCoreApplication>

#ifdef KVX_HAVE_KEYCHAIN
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <qt6keychain/keychain.h>
#endif

namespace kvx {
namespace {

QString text(const char* source) {
    return QCoreApplication::translate("kvx::Keyring", source);
}

#ifdef KVX_HAVE_KEYCHAIN

QString service() {
    return QStringLiteral("kvx100-manager");
}

// A locked keyring asks the operator for its password, which takes a while; a keyring that never
// answers must not hold the window for longer than this.
constexpr std::chrono::seconds kAnswerWait{60};

// The user's length in decimal, a colon, the user, the password: every byte of either comes back as it
// went in, whatever it is.
QByteArray encode(const Credentials& credentials) {
    QByteArray value = QByteArray::number(qulonglong(credentials.user.size()));
    value += ':';
    value.append(credentials.user.data(), qsizetype(credentials.user.size()));
    value.append(credentials.password.data(), qsizetype(credentials.password.size()));
    return value;
}

std::optional<Credentials> decode(const QByteArray& value) {
    const qsizetype colon = value.indexOf(':');
    if (colon < 1 || colon > 9)
        return std::nullopt;
    qsizetype userLength = 0;
    for (qsizetype i = 0; i < colon; ++i) {
        if (value[i] < '0' || value[i] > '9')
            return std::nullopt;
        userLength = userLength * 10 + (value[i] - '0');
    }
    if (userLength > value.size() - colon - 1)
        return std::nullopt;
    const QByteArray user = value.mid(colon + 1, userLength);
    const QByteArray password = value.mid(colon + 1 + userLength);
    return Credentials{user.toStdString(), password.toStdString()};
}

// Runs the job to its end in a local event loop and hands it back, or nothing when it did not answer in
// time (or the application is quitting). A job left unanswered deletes itself when it ends: the library
// still holds it.
template <typename Job> std::unique_ptr<Job> finish(std::unique_ptr<Job> job) {
    job->setAutoDelete(false);
    job->setInsecureFallback(false);
    QEventLoop loop;
    bool done = false;
    QObject::connect(job.get(), &QKeychain::Job::finished, &loop, [&] {
        done = true;
        loop.quit();
    });
    QTimer::singleShot(kAnswerWait, &loop, &QEventLoop::quit);
    job->start();
    loop.exec();
    if (done)
        return job;
    job.release()->setAutoDelete(true);
    return nullptr;
}

class DesktopKeyring final : public Keyring {
public:
    bool available() const override {
        // Reading an entry nobody wrote is the cheapest question the keyring answers.
        if (!m_answered && m_missing.isEmpty())
            read(QStringLiteral("kvx100-manager-probe"));
        return m_missing.isEmpty();
    }

    KeyringResult load(const QString& key) override { return read(key); }

    KeyringResult store(const QString& key, const Credentials& credentials) override {
        if (!m_missing.isEmpty())
            return {false, std::nullopt, m_missing};
        auto job = std::make_unique<QKeychain::WritePasswordJob>(service());
        job->setKey(key);
        job->setBinaryData(encode(credentials));
        job = ask(std::move(job));
        if (!job)
            return unanswered();
        if (job->error() != QKeychain::NoError)
            return failure(*job);
        return {true, std::nullopt, {}};
    }

    KeyringResult forget(const QString& key) override {
        if (!m_missing.isEmpty())
            return {false, std::nullopt, m_missing};
        auto job = std::make_unique<QKeychain::DeletePasswordJob>(service());
        job->setKey(key);
        job = ask(std::move(job));
        if (!job)
            return unanswered();
        if (job->error() != QKeychain::NoError && job->error() != QKeychain::EntryNotFound)
            return failure(*job);
        return {true, std::nullopt, {}};
    }

private:
    template <typename Job> std::unique_ptr<Job> ask(std::unique_ptr<Job> job) const {
        job = finish(std::move(job));
        m_answered = m_answered || job;
        return job;
    }

    KeyringResult read(const QString& key) const {
        if (!m_missing.isEmpty())
            return {false, std::nullopt, m_missing};
        auto job = std::make_unique<QKeychain::ReadPasswordJob>(service());
        job->setKey(key);
        job = ask(std::move(job));
        if (!job)
            return unanswered();
        if (job->error() == QKeychain::EntryNotFound)
            return {true, std::nullopt, {}};
        if (job->error() != QKeychain::NoError)
            return failure(*job);
        std::optional<Credentials> credentials = decode(job->binaryData());
        if (!credentials)
            return {false, std::nullopt,
                    text(QT_TRANSLATE_NOOP(
                             "kvx::Keyring",
                             "The desktop keyring holds an entry for %1 that this program did not write."))
                        .arg(key)};
        return {true, std::move(credentials), {}};
    }

    KeyringResult unanswered() const {
        m_missing =
            text(QT_TRANSLATE_NOOP(
                     "kvx::Keyring",
                     "The desktop keyring did not answer within %1 seconds; credentials are asked for "
                     "each time."))
                .arg(kAnswerWait.count());
        return {false, std::nullopt, m_missing};
    }

    // Only a failed removal leaves the keyring in use. Anything else means there is none, or it stays shut,
    // or it fails below the keychain library (which reports an unreachable bus or a missing service as
    // "other"); that holds for the rest of the run, so the operator is neither asked to unlock it again
    // and again nor kept waiting on it.
    KeyringResult failure(const QKeychain::Job& job) const {
        const QString detail = job.errorString().trimmed();
        switch (job.error()) {
        case QKeychain::CouldNotDeleteEntry:
            return {false, std::nullopt,
                    text(QT_TRANSLATE_NOOP("kvx::Keyring",
                                           "The desktop keyring could not remove the credentials: %1"))
                        .arg(detail)};
        case QKeychain::AccessDeniedByUser:
        case QKeychain::AccessDenied:
            m_missing = text(QT_TRANSLATE_NOOP(
                "kvx::Keyring",
                "The desktop keyring stays locked or refuses access; credentials are asked for "
                "each time."));
            break;
        default:
            m_missing = text(QT_TRANSLATE_NOOP(
                "kvx::Keyring", "No desktop keyring (Secret Service) answers; credentials are asked for each "
                                "time."));
            break;
        }
        if (!detail.isEmpty())
            m_missing += QLatin1Char('\n') + detail;
        return {false, std::nullopt, m_missing};
    }

    // Whether the keyring has answered at all, and, once it is known to be missing, why.
    mutable bool m_answered = false;
    mutable QString m_missing;
};

#else

class UnavailableKeyring final : public Keyring {
public:
    bool available() const override { return false; }
    KeyringResult load(const QString&) override { return missing(); }
    KeyringResult store(const QString&, const Credentials&) override { return missing(); }
    KeyringResult forget(const QString&) override { return missing(); }

private:
    static KeyringResult missing() {
        return {
            false, std::nullopt,
            text(QT_TRANSLATE_NOOP(
                "kvx::Keyring",
                "This build of the program has no desktop keyring; credentials are asked for each time."))};
    }
};

#endif

} // namespace

std::unique_ptr<Keyring> desktopKeyring() {
#ifdef KVX_HAVE_KEYCHAIN
    return std::make_unique<DesktopKeyring>();
#else
    return std::make_unique<UnavailableKeyring>();
#endif
}

} // namespace kvx
