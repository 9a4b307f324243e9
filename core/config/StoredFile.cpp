#include "core/config/StoredFile.h"

#include <ctime>
#include <functional>
#include <utility>

namespace quorix {

using platform::FileError;

StoredFile::StoredFile(platform::FileSystem& fs, std::string folder, std::string name,
                       AppLogger& logger)
    : fs_(fs),
      folder_(std::move(folder)),
      name_(std::move(name)),
      path_(platform::joinPath(folder_, name_)),
      logger_(logger) {}

std::string_view StoredFile::reason(FileError error) {
    switch (error) {
        case FileError::none:
            return "ok";
        case FileError::notFound:
            return "file mancante";
        case FileError::notRegular:
            return "non è un file regolare";
        case FileError::tooLarge:
            return "supera il limite di dimensione";
        case FileError::permissionDenied:
            return "permesso negato";
        case FileError::noSpace:
            return "disco pieno";
        case FileError::busy:
            return "bloccato da un altro processo";
        case FileError::other:
            break;
    }
    return "errore di I/O";
}

std::string StoredFile::damagedPath(const std::string& path, dispatch::WallTime when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) {
        local = std::tm{};
    }
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return path + ".damaged-" + stamp;
}

std::optional<std::string> StoredFile::read() {
    platform::FileRead result = fs_.read(path_);
    if (result.ok()) {
        return std::move(result.data);
    }
    if (result.error != FileError::notFound && !refusedLogged_) {
        refusedLogged_ = true;
        logger_.log("⚠️ [Storage] " + name_ + " ignorato (" + std::string(reason(result.error)) +
                    "): si usano i valori predefiniti.");
    }
    return std::nullopt;
}

void StoredFile::markDamaged() {
    const platform::FileRead current = fs_.read(path_);
    if (current.ok()) {
        damagedHash_ = std::hash<std::string>{}(current.data);
    }
}

bool StoredFile::keepDamagedAside() {
    const auto expected = std::exchange(damagedHash_, std::nullopt);
    const platform::FileRead current = fs_.read(path_);
    // Another writer may have replaced the damaged file meanwhile: its new
    // content is not ours to move.
    if (!current.ok() || std::hash<std::string>{}(current.data) != *expected) {
        return true;
    }
    std::string aside = damagedPath(path_, logger_.clock().wallNow());
    for (int n = 1; fs_.exists(aside); ++n) {
        aside = damagedPath(path_, logger_.clock().wallNow()) + "-" + std::to_string(n);
    }
    if (const FileError error = fs_.rename(path_, aside); error != FileError::none) {
        damagedHash_ = expected;
        logger_.log("⚠️ [Storage] " + name_ + " non leggibile e non spostabile (" +
                    std::string(reason(error)) + "): il file resta com'è e non viene riscritto.");
        return false;
    }
    logger_.log("⚠️ [Storage] " + name_ + " non leggibile: conservato come " + aside +
                "; si riparte dai valori predefiniti.");
    return true;
}

void StoredFile::noteFailure(FileError error, std::string_view action) {
    if (error == FileError::none) {
        failing_ = false;
        return;
    }
    if (!failing_) {
        failing_ = true;
        logger_.log("⚠️ [Storage] Impossibile " + std::string(action) + " " + name_ + " (" +
                    std::string(reason(error)) +
                    "): i dati restano in memoria e verranno salvati alla prossima modifica.");
    }
}

bool StoredFile::write(std::string_view data) {
    if (damagedHash_ && !keepDamagedAside()) {
        return false;
    }
    const FileError error = fs_.writeAtomic(path_, data, platform::FileSystem::kPrivateFileMode);
    noteFailure(error, "salvare");
    return error == FileError::none;
}

bool StoredFile::remove() {
    FileError error = fs_.remove(path_);
    if (error == FileError::notFound) {
        error = FileError::none;
    }
    noteFailure(error, "eliminare");
    return error == FileError::none;
}

std::unique_ptr<platform::FileLock> StoredFile::lockFolder() {
    FileError error = FileError::none;
    auto lock = fs_.lock(platform::joinPath(folder_, kLockFileName), &error);
    if (!lock && error != FileError::notFound && !lockFailureLogged_) {
        lockFailureLogged_ = true;
        logger_.log("⚠️ [Storage] Blocco della cartella non ottenuto per " + name_ + " (" +
                    std::string(reason(error)) + "): salvataggio senza blocco.");
    }
    return lock;
}

}  // namespace quorix
