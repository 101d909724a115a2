// A list of named preference values, each bound to a variable of the program, read from the
// per-user store in one pass and written back in one pass.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/QelLog.h"

class QelPrefs : public QelLog {
public:
    // A declared value: binary values are the bytes of their variable; text values (size 0) are
    // a std::string of at most kMaxText bytes, stored with a terminating zero.
    struct t_pref {
        std::string name;
        std::span<std::byte> binary;
        std::string* text = nullptr;
        std::size_t Size() const { return text ? 0 : binary.size(); }
    };

    static constexpr std::size_t kMaxText = 511;
    static constexpr std::string_view kRegistryPrefix = "SOFTWARE\\";
    static constexpr std::string_view kStoreName = "prefs";

    QelPrefs() = default;
    // Saves, unless a derived class already did (see SaveAtClose).
    ~QelPrefs() override;
    QelPrefs(const QelPrefs&) = delete;
    QelPrefs& operator=(const QelPrefs&) = delete;

    void Declare(std::string name, std::span<std::byte> variable);
    void Declare(std::string name, std::string& variable);
    template <typename T>
    void DeclareValue(std::string name, T& variable)
    {
        Declare(std::move(name), std::as_writable_bytes(std::span(&variable, 1)));
    }

    // Reads the values stored under keyName. False, with the defaults in force and no check run,
    // when there is no store yet (first run) or nothing is declared.
    bool Load(std::string_view keyName);
    // Writes every declared value; false when load never ran or the store cannot be written.
    bool Save();

    bool Loaded() const { return loaded_; }
    const std::string& RegistryPath() const { return registryPath_; }
    const std::string& StorePath() const { return storePath_; }
    const std::vector<t_pref>& Values() const { return values_; }

protected:
    // Declares the values and sets their defaults.
    virtual void DeclareValues() {}
    // Checks and corrects the values after a load.
    virtual void CheckAfterLoad() {}
    // For derived classes whose bound variables are their own members: saves while those still
    // exist, so the base destructor does not touch them.
    void SaveAtClose();

private:
    std::vector<t_pref> values_;
    std::string registryPath_;
    std::string storePath_;
    bool loaded_ = false;
    bool closed_ = false;
};
