// Loading a 1024x1024 32-bit TGA file beside a plain read of the same bytes: the decoder's
// overhead over the file system.
#include "image/Image.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <stdlib.h>

namespace {

constexpr int kSide = 1024;
constexpr size_t kFileBytes = kTgaHeaderSize + size_t{kSide} * kSide * 4;

// The picture file, written on first use under a unique name and removed at exit.
class BenchFile {
public:
    BenchFile() {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir != nullptr ? dir : "/tmp") + "/embervane-bench-XXXXXX";
        std::vector<uint8_t> bytes(kFileBytes);
        // 1024 is 00 04 little-endian; 32 bits with 8 of alpha.
        const uint8_t header[kTgaHeaderSize] = {0, 0, 2, 0, 0, 0, 0, 0,  0,
                                                0, 0, 0, 0, 4, 0, 4, 32, 8};
        std::copy(header, header + kTgaHeaderSize, bytes.begin());
        for (size_t i = kTgaHeaderSize; i < bytes.size(); ++i) {
            bytes[i] = static_cast<uint8_t>(i * 31);
        }
        const int fd = mkstemp(path_.data());
        std::FILE* file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
        if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", path_.c_str());
            std::exit(1);
        }
        std::fclose(file);
    }
    ~BenchFile() { std::remove(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

const char* BenchPath() {
    static const BenchFile file;
    return file.path();
}

void BM_ImageLoad(benchmark::State& state) {
    const char* path = BenchPath();
    for (auto _ : state) {
        Image image;
        if (image.Load(path) != kImageOk) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFileBytes);
}
BENCHMARK(BM_ImageLoad);

// What any loader must pay at least: open, read every byte into a fresh buffer, close.
void BM_PlainRead(benchmark::State& state) {
    const char* path = BenchPath();
    for (auto _ : state) {
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[kFileBytes]);
        std::FILE* file = std::fopen(path, "rb");
        const size_t read = file != nullptr ? std::fread(buffer.get(), 1, kFileBytes, file) : 0;
        if (file != nullptr) {
            std::fclose(file);
        }
        if (read != kFileBytes) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(buffer.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFileBytes);
}
BENCHMARK(BM_PlainRead);

}  // namespace
