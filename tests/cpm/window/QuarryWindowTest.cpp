#include "QuarryWindowTest.h"

#include "DiskFormat.h"
#include "Golden.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

ByteVector ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteVector(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const ByteVector& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

ByteVector TextBytes(std::size_t size, unsigned seed) {
    ByteVector bytes;
    bytes.reserve(size);
    unsigned line = 0;
    while (bytes.size() < size) {
        const std::string text = "Line " + std::to_string(++line) + " of text " +
                                 std::to_string(seed) + " for the CP/M image\r\n";
        for (char c : text)
            if (bytes.size() < size) bytes.push_back(static_cast<std::uint8_t>(c));
    }
    return bytes;
}

std::string MakeImage(const std::string& folder, const std::string& format, std::uint8_t fill) {
    DiskFormat f;
    f.SetDiskFormat(format);
    const std::string path = folder + "/" + format + ".img";
    WriteBytes(path, ByteVector(static_cast<std::size_t>(f.ImageSize), fill));
    return path;
}

void DropFiles(QWidget* target, const QStringList& paths, const QString& text) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    if (!urls.isEmpty()) data.setUrls(urls);
    if (!text.isEmpty()) data.setText(text);
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

WindowUnderTest::WindowUnderTest(MemorySettings* keep) {
    if (!keep) {
        ownSettings = std::make_unique<MemorySettings>();
        keep = ownSettings.get();
    }
    settings = keep;
    window = new frmQuarry(&prompts, settings);
    window->show();
}

WindowUnderTest::~WindowUnderTest() {
    delete window;
}

QString WindowUnderTest::Pane() const {
    return Child<QPlainTextEdit>("rtfDisplay")->toPlainText();
}

ShownMessage WindowUnderTest::LastMessage() const {
    return prompts.messages.empty() ? ShownMessage{} : prompts.messages.back();
}

bool WindowUnderTest::Shown(const std::string& title) const {
    for (const ShownMessage& m : prompts.messages)
        if (m.title == title) return true;
    return false;
}

bool Cpmtools::Installed() {
    return std::system("command -v cpmls >/dev/null 2>&1 && command -v cpmcp >/dev/null 2>&1 && "
                       "command -v fsck.cpm >/dev/null 2>&1") == 0;
}

Cpmtools::Cpmtools() : m_home(TempDir("quarry-window-cpmtools")) {
    namespace fs = std::filesystem;
    fs::copy_file(fs::path(QUARRY_PEER_DIR) / "diskdefs", fs::path(m_home) / "diskdefs");
    fs::copy_file(fs::path(QUARRY_PEER_DIR) / "libdskrc", fs::path(m_home) / ".libdskrc");
}

int Cpmtools::Run(const std::string& command, std::string* output) const {
    const std::string line = "cd '" + m_home + "' && HOME='" + m_home + "' " + command + " 2>&1";
    FILE* pipe = ::popen(line.c_str(), "r");
    if (!pipe) return -1;
    std::string text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, n);
    const int status = ::pclose(pipe);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::set<std::string> Cpmtools::List(const std::string& format, const std::string& image) const {
    std::string text;
    std::set<std::string> names;
    if (Run("cpmls -T raw -f " + format + " '" + image + "'", &text) != 0) {
        names.insert("cpmls failed: " + text);
        return names;
    }
    std::string user;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (line.empty()) continue;
        if (line.back() == ':')
            user = line.substr(0, line.size() - 1);
        else
            names.insert(user + ":" + line);
    }
    return names;
}

ByteVector Cpmtools::Get(const std::string& format, const std::string& image,
                         const std::string& file) const {
    const std::string out = m_home + "/extracted";
    std::remove(out.c_str());
    if (Run("cpmcp -T raw -f " + format + " '" + image + "' '" + file + "' '" + out + "'",
            nullptr) != 0)
        return {};
    return ReadBytes(out);
}

bool Cpmtools::Check(const std::string& format, const std::string& image,
                     std::string* report) const {
    return Run("fsck.cpm -n -T raw -f " + format + " '" + image + "'", report) == 0;
}
