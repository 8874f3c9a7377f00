// One picture decoded from an uncompressed TGA file, with its pixels in the byte order OpenGL
// expects. Reading and decoding only: uploading is the texture's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Result codes of the image and texture operations.
constexpr int kImageOk = 1;
constexpr int kImageCannotOpen = 1000;   // no file name, or the file cannot be opened
constexpr int kImageBadType = 1001;      // colour-mapped, or neither true-colour nor grey-scale
constexpr int kImageBadDepth = 1002;     // not 8, 24 or 32 bits per pixel
constexpr int kImageOutOfMemory = 1003;  // no buffer, or no usable data: empty, too short for
                                         // its header, ID or pixels, or too large to hold
constexpr int kTextureNoPixels = 1004;
constexpr int kTextureBadSize = 1005;

constexpr size_t kTgaHeaderSize = 18;

class Image {
public:
    Image() = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    virtual ~Image();  // releases pixels if still held

    // Reads and decodes a file, with the same checks and results as Decode against the file's
    // length; a file that delivers fewer bytes than that is refused with kImageOutOfMemory.
    int Load(const char* fileName);

    // Decodes the complete file contents, `size` bytes at `data`, exactly as Load decodes a file
    // of those bytes; never reads past them.
    // kImageBadType and a missing header leave the image as it was; once the header is read,
    // its values stay stored and a buffer held from an earlier load is released, so that the
    // pixels never disagree with the size: kImageBadDepth and a refusal of the pixel data
    // (kImageOutOfMemory) leave `pixels` null. Bytes after the pixel data are ignored.
    int Decode(const uint8_t* data, size_t size);

    // A new buffer of `count` pixels of the current depth copied from `source`, with 24- and
    // 32-bit pixels turned from B, G, R(, A) into R, G, B(, A). Null for another depth or when
    // it cannot be allocated. The caller owns the result (delete[]).
    uint8_t* CopyPixels(const uint8_t* source, int count) const;

    // Releases the pixel buffer, if any.
    void ReleasePixels();

    int bitsPerPixel = 0;       // 8, 24 or 32 after a successful load
    int width = 0;              // pixels, 0..65535
    int height = 0;             // pixels, 0..65535
    int pixelCount = 0;         // width * height; 0 when that does not fit an int
    uint8_t* pixels = nullptr;  // owned; rows in file order, no padding

private:
    struct PixelSpan {
        uint64_t start;  // offset of the pixel data in the file
        uint64_t bytes;
    };
    // Checks the 18 header bytes of a file of `size` bytes and stores its values; on success
    // `span` locates pixel data that lies wholly within the file.
    int ReadHeader(const uint8_t* header, uint64_t size, PixelSpan* span);
    // Load's and Decode's one reader: the header, then the pixels into a buffer of their own.
    int Read(std::FILE* file);
};

// The length in bytes of an open stream, whose position is left where it was; -1 on error.
long FileLength(std::FILE* file);
