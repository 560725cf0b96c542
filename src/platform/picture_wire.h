#pragma once

#include <cstdint>

// What the program and its picture helper say to each other. The program sends a request
// over a local socket with two descriptors: the picture's bytes, and an empty memory file.
// The helper decodes the picture in a child of its own under the limits the request sets,
// writes the pixels into the memory file, and answers with how the child ended.
namespace pb::picture_wire {

inline constexpr uint32_t kMagic = 0x44505831;
// The pixels start here in the memory file, after their header.
inline constexpr int64_t kPixelsOffset = 4096;
// The helper's own name, found beside the program.
inline constexpr const char* kHelperName = "dorvane-pictures";

// How the picture is drawn, so that only what is drawn is kept.
enum class Fit : uint32_t {
    Whole,     // at its own size
    Within,    // scaled down to fit the box, its shape kept
    Stretched, // scaled down to the box
    TopLeft,   // at its own size, only the part the box shows from the top-left corner
};

struct Request {
    uint32_t magic = kMagic;
    char format[12] = {}; // the decoder to use; empty: by what the bytes hold
    uint32_t upright = 0; // turn a photo the way the camera held it
    Fit fit = Fit::Whole;
    int32_t boxWidth = 0;
    int32_t boxHeight = 0;
    int64_t maxBytes = 0;  // the most the pixels may take
    int64_t cpuMicros = 0; // the most CPU the decode may take
};

enum class Outcome : int32_t {
    Decoded,   // the pixels are in the memory file
    NoPicture, // the decoder found none, or one larger than allowed
    Stopped,   // the decode broke a limit, crashed or hung, and was ended
};

struct Reply {
    uint32_t magic = kMagic;
    Outcome outcome = Outcome::Stopped;
    int64_t cpuMicros = 0; // the CPU the decode took, however it ended
};

// At the start of the memory file; written last, so a decode cut short leaves none.
struct PixelsHeader {
    uint32_t magic = kMagic;
    int32_t width = 0;
    int32_t height = 0;
    int32_t format = 0; // QImage::Format_RGB32 or Format_ARGB32_Premultiplied
    int64_t bytesPerLine = 0;
};

// What the decoding child's exit code says.
inline constexpr int kExitDecoded = 0;
inline constexpr int kExitNoPicture = 3;

} // namespace pb::picture_wire
