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

// The file a chain of symbolic links ends at (path itself when it is none),
// so that replacing it keeps the links.
std::filesystem::path linkTarget(std::filesystem::path path) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(path, ec))
            break;
        const std::filesystem::path to = std::filesystem::read_symlink(path, ec);
        if (ec)
            break;
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    return path;
}

// A new file of our own beside path. Opened with 0666 so the kernel applies
// the umask for us: the process umask is never changed to read it.
int createTemporaryBeside(const std::filesystem::path& path, std::filesystem::path& tmp) {
    std::filesystem::path folder = path.parent_path();
    if (folder.empty())
        folder = ".";
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        tmp = folder / ("." + path.filename().string() + "." + std::to_string(::getpid()) + "." +
                        std::to_string(attempt));
        const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool onlyXmlChars(std::string_view utf8) {
    for (size_t pos = 0; pos < utf8.size();)
        if (!isXmlChar(nextCodePoint(utf8, pos)))
            return false;
    return true;
}

// pugixml reads control characters, raw or as references, without a word;
// another reader would refuse the file.
bool holdsForbiddenCharacter(pugi::xml_document& doc) {
    struct Walker : pugi::xml_tree_walker {
        bool found = false;
        bool for_each(pugi::xml_node& node) override {
            found = !onlyXmlChars(node.name()) || !onlyXmlChars(node.value());
            for (pugi::xml_attribute a = node.first_attribute(); a && !found;
                 a = a.next_attribute())
                found = !onlyXmlChars(a.name()) || !onlyXmlChars(a.value());
            return !found;
        }
    } walker;
    doc.traverse(walker);
    return walker.found;
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
    // pugixml takes a declaration after other bytes too; XML has it first or
    // not at all, and one further in may name another encoding than was read.
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_declaration &&
            (n != doc.first_child() || utf8.compare(0, 5, "<?xml") != 0)) {
            r.error = "the XML declaration is not at the start";
            doc.reset();
            return r;
        }
    // A byte-order mark decides the encoding; a declaration naming another
    // one contradicts it, and writing the file back would change its text.
    Charset declared = r.encoding.charset;
    const pugi::xml_node declaration = doc.first_child();
    if (declaration.type() == pugi::node_declaration &&
        charsetByName(declaration.attribute("encoding").value(), declared) &&
        declared != r.encoding.charset) {
        r.error = "the declaration names another encoding than the byte-order mark";
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

bool writeFileAtomic(const std::filesystem::path& named, std::string_view bytes,
                     std::string& error) {
    const std::filesystem::path path = linkTarget(named);
    std::filesystem::path tmp;
    const int fd = createTemporaryBeside(path, tmp);
    if (fd < 0) {
        error = systemError("cannot create a temporary file beside", path);
        return false;
    }
    // A replaced file keeps its own mode; a new one has what the umask allows.
    struct stat old {};
    const bool replacing = ::stat(path.c_str(), &old) == 0;
    bool ok = writeAll(fd, bytes);
    if (!ok)
        error = systemError("cannot write", path);
    if (ok && replacing && ::fchmod(fd, old.st_mode & 07777) != 0) {
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

bool writeDocumentFile(const std::filesystem::path& path, std::string_view bytes,
                       std::string& error) {
    pugi::xml_document check;
    const LoadResult reread = loadDocument(bytes, check);
    if (!reread.ok || holdsForbiddenCharacter(check)) {
        error = "refusing to write " + path.string() + ", which would not read back: " +
                (reread.ok ? std::string("a character XML forbids") : reread.error);
        return false;
    }
    return writeFileAtomic(path, bytes, error);
}

bool saveFile(const std::filesystem::path& path, const pugi::xml_document& doc,
              const FileEncoding& encoding, std::string& error) {
    return writeDocumentFile(path, writeDocument(doc, encoding), error);
}

std::filesystem::path keepDamagedCopy(const std::filesystem::path& path, std::string& error) {
    // Reading a folder through a stream throws rather than fails.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error = "no file to copy at " + path.string();
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        error = systemError("cannot read", path);
        return {};
    }
    for (unsigned n = 1; n < 10000; ++n) {
        std::filesystem::path copy = path;
        copy += n == 1 ? std::string(".bad") : "." + std::to_string(n) + ".bad";
        // O_EXCL: an earlier copy, or anything else of that name, stays as it is.
        const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            error = systemError("cannot create", copy);
            return {};
        }
        const bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
        if (::close(fd) != 0 || !ok) {
            error = systemError("cannot write", copy);
            ::unlink(copy.c_str());
            return {};
        }
        return copy;
    }
    error = "no free name for a copy of " + path.string();
    return {};
}

} // namespace xml
