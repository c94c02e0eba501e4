#include "platform/qt/qt_sound.h"

#include "platform/qt/sound_output.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QString>
#include <cstdio>
#include <optional>
#include <utility>

namespace vz {

namespace {

// The installed module's folder, relative to the installed program's, and
// where the Debian package puts it: the program is meant to be copied into
// its data folder and started from there.
constexpr const char* MODULE_FOLDER_FROM_PROGRAM = VUREZER_SOUND_MODULE_FROM_PROGRAM;
constexpr const char* PACKAGED_MODULE_FOLDER = VUREZER_SOUND_MODULE_PACKAGED;
constexpr const char* MODULE_FILE = VUREZER_SOUND_MODULE_FILE;

// Beside the program first: a build, or a copy of the program with the
// module beside it, uses its own.
std::vector<std::string> defaultModuleFolders() {
    const QDir program(QCoreApplication::applicationDirPath());
    const QString installed =
        QDir::cleanPath(program.absoluteFilePath(QString::fromUtf8(MODULE_FOLDER_FROM_PROGRAM)));
    std::vector<std::string> folders{program.absolutePath().toStdString(), installed.toStdString()};
    if (folders.back() != PACKAGED_MODULE_FOLDER) {
        folders.emplace_back(PACKAGED_MODULE_FOLDER);
    }
    return folders;
}

// Tells once per run, however many sound outputs fail to load: one line is
// enough to explain why no alert sounds.
void tellModuleMissing(const std::string& attempts) {
    static bool told = false;
    if (told) {
        return;
    }
    told = true;
    std::fprintf(stderr,
                 "vurezer: alert sounds stay silent: the sound module could not be loaded (%s)\n",
                 attempts.c_str());
}

} // namespace

struct QtSound::Impl {
    std::optional<std::vector<std::string>> folders; // none: defaultModuleFolders()
    bool loadTried = false;
    std::unique_ptr<SoundOutput> output; // null until loaded, and when the module is missing

    // The output, loading the module the first time; null without one.
    SoundOutput* loaded() {
        if (!loadTried) {
            loadTried = true;
            output = load(folders ? *folders : defaultModuleFolders());
        }
        return output.get();
    }

    static std::unique_ptr<SoundOutput> load(const std::vector<std::string>& candidates) {
        std::string attempts;
        for (const std::string& folder : candidates) {
            const QString path =
                QDir(QString::fromStdString(folder)).filePath(QString::fromUtf8(MODULE_FILE));
            std::unique_ptr<SoundOutput> found = loadFrom(path, attempts);
            if (found) {
                return found;
            }
        }
        tellModuleMissing(attempts);
        return nullptr;
    }

    // The library stays loaded for the rest of the run, even if this fails
    // after loading it: unloading an audio stack that may have started
    // threads is not safe.
    static std::unique_ptr<SoundOutput> loadFrom(const QString& path, std::string& attempts) {
        QLibrary module(path);
        std::string problem;
        if (!module.load()) {
            problem = module.errorString().toStdString(); // names the file
        } else if (auto create = reinterpret_cast<CreateSoundOutput>(
                       module.resolve(SOUND_OUTPUT_ENTRY_POINT));
                   create == nullptr) {
            problem = path.toStdString() + ": no entry point " + SOUND_OUTPUT_ENTRY_POINT;
        } else if (std::unique_ptr<SoundOutput> output(create()); output) {
            return output;
        } else {
            problem = path.toStdString() + ": out of memory";
        }
        attempts += (attempts.empty() ? "" : "; ") + problem;
        return nullptr;
    }
};

QtSound::QtSound() : impl_(std::make_unique<Impl>()) {}

QtSound::QtSound(std::vector<std::string> moduleFolders) : impl_(std::make_unique<Impl>()) {
    impl_->folders = std::move(moduleFolders);
}

QtSound::~QtSound() = default;

void QtSound::play(std::string_view path) {
    // Stopping needs no module when nothing was ever played.
    if (path.empty() && !impl_->output) {
        return;
    }
    if (SoundOutput* output = impl_->loaded()) {
        output->play(path);
    }
}

bool QtSound::canPlay(std::string_view path) {
    if (path.empty()) {
        return false;
    }
    SoundOutput* output = impl_->loaded();
    return output != nullptr && output->canPlay(path);
}

bool QtSound::playing() const {
    return impl_->output && impl_->output->playing();
}

int QtSound::decodeCount() const {
    return impl_->output ? impl_->output->decodeCount() : 0;
}

std::string QtSound::moduleFileName() {
    return MODULE_FILE;
}

} // namespace vz
