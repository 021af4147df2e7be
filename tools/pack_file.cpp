#include "tools/pack_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "content/content_resource.h"
#include "platform/heap.h"
#include "platform/resource.h"
#include "tools/palmdoc_compress.h"

namespace {

void PutBigEndian16(std::vector<uint8_t>* out, unsigned v) {
    out->push_back((uint8_t)(v >> 8));
    out->push_back((uint8_t)v);
}

}  // namespace

bool BuildContentContainer(int firstNumber, int secondNumber, const std::vector<uint8_t>& decoded,
                           std::vector<uint8_t>* container, std::string* why) {
    if (decoded.empty() || decoded.size() > 0xFFFF) {
        *why = "decoded length " + std::to_string(decoded.size()) + " is not 1 to 65535";
        return false;
    }
    std::vector<uint8_t> block = PalmDocCompress(decoded.data(), decoded.size());
    if (block.size() + 8 > 0xFFFF) {
        *why = "compressed length " + std::to_string(block.size()) + " does not fit the container";
        return false;
    }
    // The reader's own decoder must give the bytes back exactly.
    int status = 0;
    BYTE* check = UnCompress(block.data(), (UINT)block.size(), (UINT)decoded.size(), &status);
    bool same = check && std::memcmp(check, decoded.data(), decoded.size()) == 0;
    LocalFree(check);
    if (!same) {
        *why = "internal error: the compressed block does not decode to its input (status " +
               std::to_string(status) + ")";
        return false;
    }
    container->clear();
    PutBigEndian16(container, (unsigned)block.size() + 8);
    PutBigEndian16(container, (unsigned)firstNumber);
    PutBigEndian16(container, (unsigned)secondNumber);
    PutBigEndian16(container, (unsigned)block.size());
    PutBigEndian16(container, (unsigned)decoded.size());
    container->insert(container->end(), block.begin(), block.end());
    container->insert(container->end(), 4, 0);
    return true;
}

bool DecodeContentContainer(const uint8_t* bytes, size_t size, std::vector<uint8_t>* decoded, std::string* why) {
    if (size < kContentHeaderSize) {
        *why = "container shorter than its header";
        return false;
    }
    unsigned P = (unsigned)bytes[6] << 8 | bytes[7];
    unsigned U = (unsigned)bytes[8] << 8 | bytes[9];
    if (P > size - kContentHeaderSize) P = (unsigned)(size - kContentHeaderSize);
    int status = 0;
    BYTE* out = UnCompress(bytes + kContentHeaderSize, P, U, &status);
    if (!out) {
        *why = "compressed block does not decode (status " + std::to_string(status) + ")";
        return false;
    }
    decoded->assign(out, out + U);
    LocalFree(out);
    return true;
}

bool BuildPackImage(const LibrarySources& lib, std::vector<uint8_t>* image, PackDiagnostics* diag) {
    image->clear();
    bool ok = true;
    auto add = [&](uint16_t id, int first, int second, const std::vector<uint8_t>& decoded, const std::string& what) {
        std::vector<uint8_t> container;
        std::string why;
        if (!BuildContentContainer(first, second, decoded, &container, &why)) {
            AddError(diag, what, 0, why);
            ok = false;
            return;
        }
        uint32_t size = (uint32_t)container.size();
        const uint8_t head[8] = {(uint8_t)kPackTypeRawData, 0, (uint8_t)id, (uint8_t)(id >> 8),
                                 (uint8_t)size, (uint8_t)(size >> 8), (uint8_t)(size >> 16), (uint8_t)(size >> 24)};
        image->insert(image->end(), head, head + 8);
        image->insert(image->end(), container.begin(), container.end());
    };
    for (int n = 1; n <= lib.lessonCount; ++n)
        add((uint16_t)(kLessonResourceBase + n), n, n, lib.lessons[n], "lesson " + std::to_string(n));
    add(kIndexResourceId, 1, 255, lib.index, "index");
    return ok;
}

bool ParsePackImage(const std::vector<uint8_t>& image, std::vector<PackEntry>* entries) {
    int count = ResourceParsePack(image.data(), image.size(), nullptr, 0);
    if (count < 0) return false;
    std::vector<ResourceEntry> table(count);
    ResourceParsePack(image.data(), image.size(), table.data(), table.size());
    entries->clear();
    for (const ResourceEntry& e : table) {
        const uint8_t* p = (const uint8_t*)e.data;
        entries->push_back(PackEntry{e.type, e.id, std::vector<uint8_t>(p, p + e.size)});
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string* why) {
    std::string temp = path + ".tmpXXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) {
        *why = "cannot create a temporary file beside " + path + ": " + std::strerror(errno);
        return false;
    }
    size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += (size_t)n;
    }
    // mkstemp makes the file private; a pack is an ordinary build product.
    if (ok) ok = fchmod(fd, 0644) == 0 && fsync(fd) == 0;
    if (close(fd) != 0) ok = false;
    if (ok && rename(temp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        *why = "cannot write " + path + ": " + std::strerror(errno);
        unlink(temp.c_str());
    }
    return ok;
}
