#include "xml/XmlFile.h"

#include "xml/XmlWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace xml {

namespace {

std::string systemError(const std::string& what, const std::filesystem::path& path) {
    return what + " " + path.string() + ": " + std::strerror(errno);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

} // namespace

LoadResult loadDocument(std::string_view bytes, pugi::xml_document& doc) {
    LoadResult r;
    doc.reset();
    if (!detectEncoding(bytes, r.encoding, r.error))
        return r;
    std::string utf8;
    if (!decodeToUtf8(bytes, r.encoding, utf8, r.error))
        return r;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(utf8.data(), utf8.size(), kParseOptions, pugi::encoding_utf8);
    if (!parsed) {
        r.error = std::string(parsed.description()) + " at offset " +
                  std::to_string(static_cast<long long>(parsed.offset));
        doc.reset();
        return r;
    }
    if (!doc.document_element()) {
        r.error = "no root element";
        doc.reset();
        return r;
    }
    r.ok = true;
    return r;
}

LoadResult loadFile(const std::filesystem::path& path, pugi::xml_document& doc) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        doc.reset();
        LoadResult r;
        r.error = "cannot open " + path.string();
        return r;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        doc.reset();
        LoadResult r;
        r.error = "cannot read " + path.string();
        return r;
    }
    return loadDocument(bytes, doc);
}

pugi::xml_node newDocument(pugi::xml_document& doc, const char* rootName) {
    doc.reset();
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    return doc.append_child(rootName);
}

bool writeFileAtomic(const std::filesystem::path& path, std::string_view bytes,
                     std::string& error) {
    std::filesystem::path folder = path.parent_path();
    if (folder.empty())
        folder = ".";
    std::string tmpl = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        error = systemError("cannot create a temporary file beside", path);
        return false;
    }
    const std::filesystem::path tmp = tmpl;
    // mkstemp makes the file private; a replaced file keeps its own mode, a
    // new one gets what the umask allows.
    struct stat old {};
    mode_t mode;
    if (::stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = writeAll(fd, bytes);
    if (!ok)
        error = systemError("cannot write", path);
    if (ok && ::fchmod(fd, mode) != 0) {
        error = systemError("cannot set the mode of", path);
        ok = false;
    }
    if (ok && ::fsync(fd) != 0) {
        error = systemError("cannot flush", path);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = systemError("cannot close", path);
        ok = false;
    }
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) {
        error = systemError("cannot replace", path);
        ok = false;
    }
    if (!ok)
        ::unlink(tmp.c_str());
    return ok;
}

bool saveFile(const std::filesystem::path& path, const pugi::xml_document& doc,
              const FileEncoding& encoding, std::string& error) {
    return writeFileAtomic(path, writeDocument(doc, encoding), error);
}

} // namespace xml
