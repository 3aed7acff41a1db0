#pragma once

#include "core/login_exchange.h"

#include <QString>
#include <memory>
#include <optional>

namespace kvx {

struct KeyringResult {
    bool ok = false;
    std::optional<Credentials> credentials;
    QString error;
};

// Where the Devices window keeps credentials when the operator asks it to. Calls are synchronous: they
// wait in a local event loop, so the window keeps painting, and the caller must keep the keyring alive
// until the call returns. available() asks the keyring once unless a call already has; a keyring found
// missing, locked or silent stays so for the object's life, each call then failing at once with why.
class Keyring {
public:
    virtual ~Keyring() = default;
    virtual bool available() const = 0;                 // false: built without, or no Secret Service
    virtual KeyringResult load(const QString& key) = 0; // ok and no credentials: none kept
    virtual KeyringResult store(const QString& key, const Credentials& credentials) = 0;
    virtual KeyringResult forget(const QString& key) = 0;
};

// The desktop's keyring (the Secret Service) when the build has one; otherwise one that keeps nothing and
// says why. Nothing is ever written to a file in its place.
std::unique_ptr<Keyring> desktopKeyring();

} // namespace kvx
