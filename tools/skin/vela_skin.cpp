// vela-skin: the skin authors' tool. The usage text below says what it does;
// skin_pack.h (skin files in memory) and skin_tool.h (PNG) do it, this
// file reads the command line and the files.
//
// File names are UTF-8 here; on Windows the command line arrives as UTF-16
// (wmain) and files are opened by their UTF-16 names, so that a skin named
// in any script can be made.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "vela_version.h"
#include "tools/skin/skin_tool.h"

namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  vela-skin pack -o NAME.skin [--keys KEYMAP.txt] [--back RRGGBB]\n"
    "                 [--text RRGGBB] BASE LEFT UP RIGHT DOWN\n"
    "                 [--scale N BASE LEFT UP RIGHT DOWN]...\n"
    "      Builds a skin file from five layer images, .bmp or .png (\"-\": no image\n"
    "      for that layer), each at most 2048 x 2048 pixels. A BMP is stored byte\n"
    "      for byte once the program's reader accepts it; a PNG, and a BMP the\n"
    "      program cannot draw as it is (run-length encoded, 16 or 32 bits), becomes\n"
    "      an 8-bit BMP (256 colours or fewer) or a 24-bit one, transparency blended\n"
    "      onto the back colour. The key map comes from\n"
    "      KEYMAP.txt (the text unpack writes), else it is the built-in one. The\n"
    "      display colours come from --back and --text, else from KEYMAP.txt's back:\n"
    "      and text: lines, else from the built-in skin's look: back CFD8E2, text\n"
    "      000000. What will look wrong is named on standard error. Each --scale N\n"
    "      (2, 3 or 4) adds sharper images, N times the size of the layers' images\n"
    "      (\"-\" where that layer has none), which the program draws at zooms\n"
    "      N divides.\n"
    "  vela-skin unpack [--force] NAME.skin DIR\n"
    "      Writes DIR/base.bmp, left.bmp, up.bmp, right.bmp, down.bmp (the layers\n"
    "      with an image, the bytes as stored), the sharper images as base@2x.bmp\n"
    "      and so on, and DIR/keys.txt (key map, back: and\n"
    "      text:); packing them again gives the same file. A file the program\n"
    "      would not load is refused and nothing is written. A folder that holds\n"
    "      such files already is refused; --force replaces them (and removes those\n"
    "      the skin has none of), other files stay.\n"
    "  vela-skin check NAME.skin\n"
    "      Prints what the program makes of the file, each line after its name:\n"
    "      \"loads\", or \"falls back to the built-in skin:\" and the program's\n"
    "      message, then \"why: ...\"; for a skin that loads, one line for each\n"
    "      thing that will look wrong (a name the skin dialog cannot list too).\n"
    "  vela-skin --version\n"
    "      Prints the version.\n"
    "  vela-skin preview [--zoom N] NAME.skin OUT.png\n"
    "      Draws the five layers side by side as the program shows them at zoom N\n"
    "      (1 to 4, 1 if not given): 880 x 180 pixels times N, each layer a\n"
    "      176 x 180 screen, its image at the bottom (the sharpest the program\n"
    "      takes at that zoom), the display line above it showing 1234.5.\n"
    "\n"
    "exit status: 0 done (check: loads, nothing wrong); 1 check: loads, with\n"
    "warnings; 2 a file is refused or cannot be read or written (check: the program\n"
    "falls back to the built-in skin); 3 bad command line.\n";

enum ExitStatus : int { kDone = 0, kWarnings = 1, kFailed = 2, kBadCommandLine = 3 };

// Larger files are surely no skin; the limit keeps the tool from reading
// a whole disk image into memory.
constexpr uintmax_t kLargestInput = uintmax_t{512} << 20;

using Arguments = std::vector<std::string>;

int BadCommandLine(const std::string& what)
{
    std::fprintf(stderr, "vela-skin: %s\nRun \"vela-skin --help\" for the usage.\n", what.c_str());
    return kBadCommandLine;
}

int Failed(const std::string& fileName, const std::string& what)
{
    std::fprintf(stderr, "vela-skin: %s: %s\n", fileName.c_str(), what.c_str());
    return kFailed;
}

// --- Files by UTF-8 name

#ifdef _WIN32
std::wstring Wide(const std::string& utf8)
{
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), units);
    return wide;
}

std::filesystem::path PathOf(const std::string& utf8) { return std::filesystem::path(Wide(utf8)); }

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode)
{
    return _wfopen(path.c_str(), Wide(mode).c_str());
}

bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
#else
std::filesystem::path PathOf(const std::string& utf8) { return std::filesystem::path(utf8); }

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) { return std::fopen(path.c_str(), mode); }

bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}
#endif

bool ReadWholeFile(const std::string& name, std::string& bytes, std::string& error)
{
    const std::filesystem::path path = PathOf(name);
    std::error_code code;
    if (std::filesystem::is_directory(path, code)) {
        error = "a folder, not a file";
        return false;
    }
    const uintmax_t size = std::filesystem::file_size(path, code);
    if (!code && size > kLargestInput) {
        error = "too large for a skin or an image (" + std::to_string(size) + " bytes)";
        return false;
    }
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        error = std::string("cannot open it: ") + std::strerror(errno);
        return false;
    }
    bytes.clear();
    char block[1 << 16];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0 && bytes.size() <= kLargestInput) bytes.append(block, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed || bytes.size() > kLargestInput) {
        error = failed ? "cannot read it" : "too large for a skin or an image";
        return false;
    }
    return true;
}

// Files written as a whole or not at all: each goes to "<name>.tmp" first,
// and only when all of them are complete are they renamed to their names.
struct FileToWrite {
    std::filesystem::path path;
    std::string shownName;
    const std::string* bytes;
};

bool WriteFiles(const std::vector<FileToWrite>& files, std::string& error)
{
    std::vector<std::filesystem::path> temporary;
    auto removeTemporary = [&] {
        std::error_code ignored;
        for (const std::filesystem::path& path : temporary) std::filesystem::remove(path, ignored);
    };
    for (const FileToWrite& file : files) {
        std::filesystem::path path = file.path;
        path += ".tmp";
        std::FILE* out = OpenFile(path, "wb");
        if (out == nullptr) {
            error = file.shownName + ": cannot create it: " + std::strerror(errno);
            removeTemporary();
            return false;
        }
        temporary.push_back(path);
        const bool written = std::fwrite(file.bytes->data(), 1, file.bytes->size(), out) == file.bytes->size();
        if (std::fclose(out) != 0 || !written) {
            error = file.shownName + ": cannot write it";
            removeTemporary();
            return false;
        }
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (!MoveOver(temporary[i], files[i].path)) {
            error = files[i].shownName + ": cannot replace it: " + std::strerror(errno);
            temporary.erase(temporary.begin(), temporary.begin() + static_cast<ptrdiff_t>(i));
            removeTemporary();
            return false;
        }
    }
    return true;
}

// --- Commands

// "--name value" or "--name=value"; advances `i` past the value. Returns
// false when the argument is not this option; sets `missing` when it is but
// has no value.
bool OptionValue(const Arguments& args, size_t& i, std::string_view name, std::string& value, bool& missing)
{
    const std::string& arg = args[i];
    if (arg.compare(0, name.size(), name) != 0) return false;
    if (arg.size() == name.size()) {
        missing = i + 1 >= args.size();
        if (!missing) value = args[++i];
        return true;
    }
    if (arg[name.size()] != '=') return false;
    value = arg.substr(name.size() + 1);
    return true;
}

int Pack(const Arguments& args)
{
    std::string output, keysFile, colours[2];
    bool colourGiven[2] = {false, false};
    std::vector<std::string> images;
    std::vector<int> scales;                      // of the --scale sets, in order
    std::vector<std::vector<std::string>> sharpNames;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-" || arg.empty() || arg[0] != '-') {
            (sharpNames.empty() ? images : sharpNames.back()).push_back(arg);
            continue;
        }
        bool missing = false;
        std::string value;
        if (OptionValue(args, i, "--scale", value, missing)) {
            if (missing) return BadCommandLine("pack: --scale needs a value");
            if (value != "2" && value != "3" && value != "4")
                return BadCommandLine("pack: --scale " + value + ": 2, 3 or 4 is needed");
            scales.push_back(value[0] - '0');
            sharpNames.emplace_back();
            continue;
        }
        if (OptionValue(args, i, "-o", value, missing)) {
            output = value;
        } else if (OptionValue(args, i, "--keys", value, missing)) {
            keysFile = value;
        } else if (OptionValue(args, i, "--back", value, missing)) {
            colours[0] = value;
            colourGiven[0] = true;
        } else if (OptionValue(args, i, "--text", value, missing)) {
            colours[1] = value;
            colourGiven[1] = true;
        } else {
            return BadCommandLine("pack: unknown option " + arg);
        }
        if (missing) return BadCommandLine("pack: " + arg + " needs a value");
    }
    if (output.empty()) return BadCommandLine("pack: -o NAME.skin is needed");
    if (images.size() != kSkinLayerCount)
        return BadCommandLine("pack: 5 images are needed, BASE LEFT UP RIGHT DOWN (\"-\" for none), not " +
                              std::to_string(images.size()));
    for (size_t set = 0; set < sharpNames.size(); ++set)
        if (sharpNames[set].size() != kSkinLayerCount)
            return BadCommandLine("pack: --scale " + std::to_string(scales[set]) +
                                  " needs 5 images, BASE LEFT UP RIGHT DOWN (\"-\" for none), not " +
                                  std::to_string(sharpNames[set].size()));

    KeyMapText keys = BuiltinKeyMapText();
    uint32_t colourValues[2];
    const char* const colourOptions[2] = {"--back", "--text"};
    for (int c = 0; c < 2; ++c)
        if (colourGiven[c] && !ColourFromText(colours[c], colourValues[c]))
            return BadCommandLine(std::string("pack: ") + colourOptions[c] + " " + colours[c] +
                                  ": a colour RRGGBB in hexadecimal is needed");
    if (!keysFile.empty()) {
        std::string text, error;
        if (!ReadWholeFile(keysFile, text, error)) return Failed(keysFile, error);
        KeyMapTextError fault;
        if (!ReadKeyMapText(text, keys, fault))
            return Failed(fault.line > 0 ? keysFile + ":" + std::to_string(fault.line) : keysFile, fault.message);
    }
    if (colourGiven[0]) keys.backColor = colourValues[0];
    if (colourGiven[1]) keys.textColor = colourValues[1];

    PackImage layers[kSkinLayerCount];
    for (int layer = 0; layer < kSkinLayerCount; ++layer) {
        if (images[layer] == "-") continue;
        std::string error;
        if (!ReadWholeFile(images[layer], layers[layer].bytes, error)) return Failed(images[layer], error);
        layers[layer].fileName = images[layer];
    }
    std::vector<PackSharpSet> sharp(scales.size());
    for (size_t set = 0; set < scales.size(); ++set) {
        sharp[set].scale = scales[set];
        for (int layer = 0; layer < kSkinLayerCount; ++layer) {
            const std::string& file = sharpNames[set][static_cast<size_t>(layer)];
            if (file == "-") continue;
            std::string error;
            if (!ReadWholeFile(file, sharp[set].images[layer].bytes, error)) return Failed(file, error);
            sharp[set].images[layer].fileName = file;
        }
    }
    std::string skin, error;
    if (!PackSkin(keys, layers, skin, error, sharp)) {
        std::fprintf(stderr, "vela-skin: %s\n", error.c_str());
        return kFailed;
    }
    if (!WriteFiles({{PathOf(output), output, &skin}}, error)) {
        std::fprintf(stderr, "vela-skin: %s\n", error.c_str());
        return kFailed;
    }
    for (const std::string& warning : CheckSkin(skin).warnings)
        std::fprintf(stderr, "vela-skin: warning: %s: %s\n", output.c_str(), warning.c_str());
    return kDone;
}

// The names of the files unpack writes: another skin's parts in a folder are
// these.
std::vector<std::string> PartFileNames()
{
    std::vector<std::string> names;
    for (int scale = 1; scale <= kLargestImageScale; ++scale)
        for (int layer = 0; layer < kSkinLayerCount; ++layer) names.push_back(LayerFileName(layer, scale));
    names.push_back("keys.txt");
    return names;
}

int Unpack(const Arguments& args)
{
    Arguments plain;
    bool force = false;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--force") force = true;
        else plain.push_back(args[i]);
    }
    if (plain.size() != 2) return BadCommandLine("unpack needs NAME.skin DIR");
    const std::string& name = plain[0];
    const std::string& folder = plain[1];
    std::string skin, error;
    if (!ReadWholeFile(name, skin, error)) return Failed(name, error);
    UnpackedSkin unpacked;
    SkinRefusal refusal;
    if (!UnpackSkin(skin, unpacked, refusal))
        return Failed(name, (refusal.layer >= 0 ? std::string(kLayerNames[refusal.layer]) + ": " : std::string()) +
                                refusal.reason + "; the program would not load it, nothing written");

    const std::filesystem::path dir = PathOf(folder);
    std::error_code code;
    std::vector<std::string> present;  // another skin's parts already there
    for (const std::string& part : PartFileNames())
        if (std::filesystem::exists(dir / PathOf(part), code)) present.push_back(part);
    if (!present.empty() && !force)
        return Failed(folder, "holds the parts of a skin already (" + present.front() +
                                  "); packing them with these would mix two skins. Unpack into an empty folder, "
                                  "or give --force to replace them");
    const bool created = std::filesystem::create_directory(dir, code);
    if (code || !std::filesystem::is_directory(dir, code))
        return Failed(folder, "cannot make this folder" + (code ? ": " + code.message() : std::string()));
    const std::string keysText = UnpackedKeysText(unpacked);
    std::vector<FileToWrite> files;
    std::vector<std::string> written;
    for (int scale = 1; scale <= kLargestImageScale; ++scale)
        for (int layer = 0; layer < kSkinLayerCount; ++layer) {
            const std::string& image =
                scale == 1 ? unpacked.images[layer] : unpacked.sharpImages[scale - 2][layer];
            if (image.empty()) continue;
            const std::string file = LayerFileName(layer, scale);
            files.push_back({dir / file, folder + "/" + file, &image});
            written.push_back(file);
        }
    files.push_back({dir / "keys.txt", folder + "/keys.txt", &keysText});
    written.push_back("keys.txt");
    if (!WriteFiles(files, error)) {
        if (created) std::filesystem::remove(dir, code);
        std::fprintf(stderr, "vela-skin: %s\n", error.c_str());
        return kFailed;
    }
    // The old skin's parts this one has none of go, so that none is packed
    // with the new ones; files of other names stay.
    for (const std::string& part : present)
        if (std::find(written.begin(), written.end(), part) == written.end()) std::filesystem::remove(dir / PathOf(part), code);
    return kDone;
}

// The skin dialog lists a skin under its file name without ".skin", and only
// names shorter than 15 UTF-16 units: the options keep 15 with the NUL.
constexpr size_t kLongestListedName = 14;

#ifndef _WIN32
size_t Utf16Units(const std::string& utf8)
{
    size_t units = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;  // four-byte characters take two units
    }
    return units;
}
#endif

int Check(const Arguments& args)
{
    if (args.size() != 2) return BadCommandLine("check needs NAME.skin");
    const std::string& name = args[1];
    std::string skin, error;
    if (!ReadWholeFile(name, skin, error)) {
        // As the program, which shows "Скин не найден" for a file it cannot open.
        std::printf("%s: falls back to the built-in skin: \"Скин не найден\"\n", name.c_str());
        return Failed(name, error);
    }
    SkinCheck check = CheckSkin(skin);
    const std::filesystem::path path = PathOf(name);
#ifdef _WIN32
    const std::wstring stemWide = path.stem().wstring();
    const size_t units = stemWide.size();
#else
    const size_t units = Utf16Units(path.stem().string());
#endif
    if (units > kLongestListedName)
        check.warnings.push_back("the name has " + std::to_string(units) + " characters: the skin dialog lists only names of " +
                                 std::to_string(kLongestListedName) + " or fewer, so this skin can never be chosen");
    // Every line names the file, as the other commands' messages do.
    const std::string report = CheckReport(check);
    std::string named;
    for (size_t at = 0; at < report.size();) {
        const size_t end = report.find('\n', at);
        const size_t next = end == std::string::npos ? report.size() : end + 1;
        named += name + ": " + report.substr(at, next - at);
        at = next;
    }
    std::fwrite(named.data(), 1, named.size(), stdout);
    return CheckStatus(check);
}

int Preview(const Arguments& args)
{
    Arguments plain;
    int zoom = 1;
    for (size_t i = 1; i < args.size(); ++i) {
        bool missing = false;
        std::string value;
        if (OptionValue(args, i, "--zoom", value, missing)) {
            if (missing || value.size() != 1 || value[0] < '1' || value[0] > '4')
                return BadCommandLine("preview: --zoom needs 1, 2, 3 or 4");
            zoom = value[0] - '0';
        } else {
            plain.push_back(args[i]);
        }
    }
    if (plain.size() != 2) return BadCommandLine("preview needs NAME.skin OUT.png");
    const std::string& name = plain[0];
    const std::string& output = plain[1];
    std::string skin, error;
    if (!ReadWholeFile(name, skin, error)) return Failed(name, error);
    PreviewImage preview;
    preview.zoom = zoom;
    SkinRefusal refusal;
    if (!RenderPreview(skin, preview, refusal))
        return Failed(name, (refusal.layer >= 0 ? std::string(kLayerNames[refusal.layer]) + ": " : std::string()) +
                                refusal.reason + "; the program would show the built-in skin");
    const std::string png = PreviewPng(preview);
    if (!WriteFiles({{PathOf(output), output, &png}}, error)) {
        std::fprintf(stderr, "vela-skin: %s\n", error.c_str());
        return kFailed;
    }
    return kDone;
}

int RunSkinTool(const Arguments& args)
{
    struct Command {
        std::string_view name;
        int (*run)(const Arguments&);
    };
    static const Command kCommands[] = {{"pack", Pack}, {"unpack", Unpack}, {"check", Check}, {"preview", Preview}};
    if (args.empty()) return BadCommandLine("a command is needed: pack, unpack, check or preview");
    if (args[0] == "--help" || args[0] == "-h") {
        std::fputs(kUsage, stdout);
        return kDone;
    }
    if (args[0] == "--version") {
        std::puts("vela-skin " VELA_VERSION);
        return kDone;
    }
    for (const Command& command : kCommands)
        if (command.name == args[0]) return command.run(args);
    return BadCommandLine("unknown command " + args[0] + " (pack, unpack, check or preview)");
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    SetConsoleOutputCP(CP_UTF8);
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(size > 0 ? static_cast<size_t>(size) : 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, utf8.data(), size, nullptr, nullptr);
        utf8.resize(std::strlen(utf8.c_str()));
        args.push_back(utf8);
    }
    return RunSkinTool(args);
}
#else
int main(int argc, char** argv) { return RunSkinTool(Arguments(argv + 1, argv + argc)); }
#endif
