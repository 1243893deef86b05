#include "model/ModelFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "model/ModelData.h"
#include "model/ModelFileBlocks.h"
#include "model/ModelFileText.h"

using modelfile::FormatReal;
using modelfile::ReadInt;
using modelfile::ReadLine;
using modelfile::ReadReal;
using modelfile::ReadReals;
using modelfile::ReadWord;
using modelfile::SkipRestOfLine;

namespace {

const char* const kNodalKeywords[5] = {"NODAL_CONSTRAINT_DATA", "NODAL_LOAD_DATA", "NODAL_STIFFNESS_DATA",
                                       "DISTRIBUTED_LOAD_DATA", "DISTRIBUTED_STIFFNESS_DATA"};
const char* const kSetKeywords[3] = {"NODESET_DATA", "ELEMENTSET_DATA", "EDGESET_DATA"};

// Ring point counts beyond this cannot come from a real pattern; they would
// only make the pattern computation exhaust memory.
constexpr int kMaxRingPoints = 100000;

// Texts written as whole lines must not break the line structure.
std::string OneLine(const std::string& text) {
    std::string s = text;
    for (char& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    return s;
}

bool ReadLineInt(std::istream& in, int& value) {
    if (!ReadInt(in, value)) return false;
    SkipRestOfLine(in);
    return true;
}

// Two reals at the start of a line; anything after them is ignored.
bool ParsePointLine(const std::string& line, double& deformation, double& force) {
    std::istringstream ls(line);
    return ReadReal(ls, deformation) && ReadReal(ls, force);
}

// Opens a regular file for reading without blocking on a pipe; -1 with the
// reason in `why` for anything else.
int OpenRegularFile(const std::string& path, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = S_ISDIR(st.st_mode) ? "is a folder" : "is not a regular file (a pipe, socket or device)";
        ::close(fd);
        return -1;
    }
    // Reads of a regular file block as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// Loads the whole file with CR LF line ends turned into LF; false with the
// reason in `why`.
bool LoadFile(const std::string& path, std::string& content, std::string& why) {
    const int fd = OpenRegularFile(path, why);
    if (fd < 0) return false;
    std::string raw;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            why = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        raw.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    content = modelfile::NormaliseLineEnds(raw);
    return true;
}

bool WriteAll(int fd, const std::string& data) {
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// The file that a save to `path` replaces: a symbolic link is followed to
// its target (which may not exist yet), so that the link stays a link.
std::string SaveTarget(const std::string& path) {
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat ls {};
        if (::lstat(target.c_str(), &ls) != 0 || !S_ISLNK(ls.st_mode)) break;
        std::string link(static_cast<std::size_t>(ls.st_size > 0 ? ls.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) break;
        link.resize(static_cast<std::size_t>(n));
        if (link[0] != '/') {
            const std::size_t slash = target.rfind('/');
            link = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + link;
        }
        target = link;
    }
    return target;
}

// Writes `data` to a new file beside the file that `path` names (a link's
// target) and renames it over that file only when every write succeeded, so
// a failed save leaves the old file intact.  A file the user may not write is
// refused like a failed save, and so is one that nobody may write; the
// replacement keeps the old permission bits.
// Removes the temporary files "<path>.tmp<pid>_<n>" of saves whose process
// is gone (a save killed between writing and renaming); a save still
// running in another process keeps its file.
void RemoveStaleTempFiles(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp";
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string rest = name.substr(prefix.size());
        const std::size_t underscore = rest.find('_');
        if (underscore == 0 || underscore == std::string::npos ||
            rest.find_first_not_of("0123456789_") != std::string::npos)
            continue;
        const long pid = std::strtol(rest.substr(0, underscore).c_str(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) ::unlink(it->path().c_str());
    }
}

int ReplaceFile(const std::string& linkPath, const std::string& data) {
    const std::string path = SaveTarget(linkPath);
    RemoveStaleTempFiles(path);
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 &&
        (::access(path.c_str(), W_OK) != 0 || (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)) {
        errno = EACCES;
        return 1;  // write-protected (even the superuser keeps off a file nobody may write)
    }
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = path + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(attempt);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return 1;
    }
    if (fd < 0) return 1;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd, st.st_mode & 07777);
    bool ok = WriteAll(fd, data);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return 0;
    const int error = errno;
    ::unlink(temp.c_str());
    errno = error;
    return 1;
}

void WriteListBlocks(const ModelData& m, std::ostream& out) {
    if (m.nodePaths) {
        const int count = m.NodePathCount();
        out << "NODEPATH_DATA\n" << count << '\n';
        for (int i = 0; i < count; ++i) {
            const NodePath* p = m.NodePathAt(i);
            if (!p) break;
            out << OneLine(p->name) << '\n'
                << OneLine(p->nodeListText) << '\n'
                << p->startNode << "  " << p->endNode << '\n'
                << p->mode << '\n';
        }
        out << "END_NODEPATH_DATA\n\n";
    }
}

}  // namespace

void WriteTemplateBlock(const ModelData& m, std::ostream& out) {
    out << "MODEL_PROFILE_DATA\n" << m.templateKind << '\n';
    if (m.templateKind != 1 && m.templateKind != 2) return;
    const std::array<double, 3>& plan = m.templateKind == 1 ? m.planDims1 : m.planDims2;
    out << m.templateElementOption << "  " << m.templateIntegration << '\n'
        << FormatReal(plan[0]) << "  " << FormatReal(plan[1]) << "  " << FormatReal(plan[2]) << "  "
        << FormatReal(m.templateAngle) << ' ' << FormatReal(m.sectionDims[0]) << "  " << FormatReal(m.sectionDims[1])
        << "  " << FormatReal(m.sectionDims[2]);
    for (int k = 0; k < 10; ++k) out << " 0";
    out << '\n'
        << FormatReal(m.templateLoads[0]) << "  " << FormatReal(m.templateLoads[1]) << "  "
        << FormatReal(m.templateLoads[2]);
    for (int k = 0; k < 10; ++k) out << "  0";
    out << '\n' << FormatReal(m.typicalElementSize) << "\nEND_MODEL_PROFILE_DATA\n";
}

void ReadTemplateBlock(ModelData& m, std::istream& in) {
    int kind = 0;
    if (!ReadInt(in, kind)) return;
    m.templateKind = kind;
    if (kind != 1 && kind != 2) return;
    int option = 0, rule = 0;
    std::array<double, 17> dims{};
    std::array<double, 13> loads{};
    double size = 0;
    std::string end;
    if (!(ReadInt(in, option) && ReadInt(in, rule) && ReadReals(in, dims) && ReadReals(in, loads) &&
          ReadReal(in, size) && ReadWord(in, end)))
        return;
    m.templateElementOption = option;
    m.templateIntegration = rule;
    std::array<double, 3>& plan = kind == 1 ? m.planDims1 : m.planDims2;
    plan = {dims[0], dims[1], dims[2]};
    m.templateAngle = dims[3];
    m.sectionDims = {dims[4], dims[5], dims[6]};
    m.templateLoads = {loads[0], loads[1], loads[2]};
    m.typicalElementSize = size;
}

int FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? 1 : 0;
}

long long RegularFileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<long long>(st.st_size);
}

std::string WhyNotReadableFile(const std::string& path) {
    std::string why;
    const int fd = OpenRegularFile(path, why);
    if (fd >= 0) ::close(fd);
    return why;
}

std::string ModelData::ReadFirstLine(const std::string& path) {
    // The first word, read to at most the longest word the file may hold; a
    // longer one (or anything but a regular file) is no model file.
    std::string why;
    const int fd = OpenRegularFile(path, why);
    if (fd < 0) return std::string();
    std::string head;
    char buffer[512];
    ssize_t n = 0;
    while (head.size() < 4 * modelfile::kMaxWordLength &&
           ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)))
        if (n > 0) head.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    std::istringstream in(head);
    std::string word;
    if (!ReadWord(in, word)) return std::string();
    // A word that reaches the end of what was read may go on beyond it.
    if (in.eof() && head.size() >= 4 * modelfile::kMaxWordLength) return std::string();
    return word;
}

int ModelData::WriteModelFile(const std::string& path) {
    std::ostringstream out;
    out << version << '\n';
    if (halvorFlag != 0) out << "HALVOR_FC\n";
    out << "TITLE\n" << OneLine(title) << '\n';
    if (soilModel == 1)
        out << "SOIL_STIFFNESS_DATA_MINDLIN\n"
            << FormatReal(soilValues[0]) << '\t' << FormatReal(soilValues[2]) << '\t' << FormatReal(soilValues[3])
            << "\nEND_SOIL_STIFFNESS_DATA_MINDLIN\n";
    else if (soilModel == 2)
        out << "SOIL_STIFFNESS_DATA_VLASOV\n"
            << FormatReal(soilValues[0]) << '\t' << FormatReal(soilValues[1]) << '\t' << FormatReal(soilValues[2])
            << '\t' << FormatReal(soilValues[4]) << '\t' << FormatReal(soilValues[5])
            << "\nEND_SOIL_STIFFNESS_DATA_VLASOV\n";
    out << "UNIT_DATA\n*\t" << unitCode << "\nEND_UNIT_DATA\n";

    if (nodeTable && nodeTable->GetCount() > 0) {
        out << "NODE_DATA\n";
        WriteNodeBlock(*nodeTable, out, "NODE_DATA");
    }
    if (materialTable && materialTable->GetCount() > 0) {
        out << "MATERIAL_DATA\n";
        WriteMaterialBlock(*materialTable, out, "MATERIAL_DATA");
    }
    if (elementTable && elementTable->GetCount() > 0) {
        out << "ELEMENT_DATA\n";
        WriteElementBlock(*elementTable, out, "ELEMENT_DATA");
    }
    for (int k = 0; k < 5; ++k) {
        const NodalActionTable* t = nodalTables[static_cast<std::size_t>(k)].get();
        if (t && t->GetCount() > 0) {
            out << kNodalKeywords[k] << '\n';
            WriteNodalTableBlock(*t, out, kNodalKeywords[k]);
        }
    }
    const std::pair<const ConcentratedActionTable*, const char*> concentrated[3] = {
        {concentratedLoads.get(), "CONCENTRATED_LOAD_DATA"},
        {concentratedStiffness.get(), "CONCENTRATED_STIFFNESS_DATA"},
        {totalConcentratedStiffness.get(), "TOTAL_CONCENTRATED_STIFFNESS_DATA"}};
    for (const auto& [t, keyword] : concentrated)
        if (t && t->GetCount() > 0) {
            out << keyword << '\n';
            WriteConcentratedTableBlock(*t, out, keyword);
        }
    const std::pair<const EdgeActionTable*, const char*> edges[2] = {{edgeLoads.get(), "EDGE_LOAD_DATA"},
                                                                     {edgeStiffness.get(), "EDGE_STIFFNESS_DATA"}};
    for (const auto& [t, keyword] : edges)
        if (t && t->GetCount() > 0) {
            out << keyword << '\n';
            WriteEdgeTableBlock(*t, out, keyword);
        }
    out << "TIME_STEPPING_DATA\n"
        << FormatReal(initialIncrement) << '\t' << FormatReal(initialTime) << '\t' << FormatReal(finalTime) << '\t'
        << FormatReal(minIncrement) << '\t' << iterationsPerStep << '\t' << FormatReal(errorTolerance)
        << "\nEND_TIME_STEPPING_DATA\n";
    for (int k = 0; k < 3; ++k) {
        const SetTable* t = setTables[static_cast<std::size_t>(k)].get();
        if (t && t->GetCount() > 0) {
            out << kSetKeywords[k] << '\n';
            WriteSetBlock(*t, out, kSetKeywords[k], k + 1);
        }
    }
    if (cutLineTable && cutLineTable->GetCount() > 0) {
        out << "CUTLINE_DATA\n";
        WriteCutLineBlock(*cutLineTable, out, "CUTLINE_DATA");
        out << '\n';
    }
    WriteListBlocks(*this, out);
    if (ring1Points > 0)
        out << "EQUIV_CONCENTRATED_LOAD_DATA\n"
            << ring1Points << '\t' << FormatReal(ring1Radius) << '\t' << FormatReal(ring1Angle) << '\t' << ring2Points
            << '\t' << FormatReal(ring2Radius) << '\t' << FormatReal(ring2Angle) << '\t' << twoRings << '\n'
            << FormatReal(patternLoads[0]) << '\t' << FormatReal(patternLoads[1]) << '\t' << FormatReal(patternLoads[2])
            << '\t' << FormatReal(patternLoads[3]) << '\t' << FormatReal(patternLoads[4]) << '\t'
            << FormatReal(patternLoads[5]) << '\t' << FormatReal(patternCentre[0]) << '\t'
            << FormatReal(patternCentre[1]) << '\t' << FormatReal(patternCentre[2])
            << "\nEND_EQUIV_CONCENTRATED_LOAD_DATA\n";

    WriteTemplateBlock(*this, out);

    if (nonlinearSprings) {
        const int count = NonlinearSpringCount();
        out << "NONLINEAR_SPRING_DATA\n" << count << '\n';
        for (int i = 0; i < count; ++i) {
            const NonlinearSpring* s = NonlinearSpringAt(i);
            if (!s) break;
            const std::size_t n = s->deformations.size();
            out << OneLine(s->name) << '\n' << n << '\n';
            for (std::size_t j = 0; j < n; ++j)
                out << FormatReal(s->deformations[j]) << "   " << FormatReal(j < s->forces.size() ? s->forces[j] : 0.0)
                    << '\n';
        }
        out << "END_NONLINEAR_SPRING_DATA\n";
    }
    if (nonlinearActions) {
        const int count = NonlinearActionCount();
        out << "NONLINEAR_NODAL_STIFFNESS_DATA\n" << count << '\n';
        for (int i = 0; i < count; ++i) {
            const NonlinearAction* a = NonlinearActionAt(i);
            if (!a) break;
            out << OneLine(a->groupName) << '\n'
                << OneLine(a->nodeText) << '\n'
                << a->reserved << '\n'
                << a->springNumber << '\n'
                << OneLine(a->springName) << '\n'
                << (a->setSelector ? 1 : 0) << '\n';
        }
        out << "END_NONLINEAR_NODAL_STIFFNESS_DATA\n";
    }
    out << "END_DATA\n";

    if (!out) return 1;
    return ReplaceFile(path, out.str());
}

namespace {

// Reads the keywords of the file after the version word; returns the result
// code of ModelData::ReadModelFile.
class KeywordReader {
public:
    KeywordReader(ModelData& model, std::istream& in) : m_(model), in_(in) {}

    int Run() {
        for (;;) {
            std::string word;
            if (!ReadWord(in_, word)) return 11;
            if (word == "END_DATA") return 0;
            block_ = word;
            blockEnd_ = static_cast<long long>(in_.tellg());
            const int code = Dispatch(word);
            if (code != 0) return code;
            // A block that stopped short leaves the stream failed; the next
            // keyword read then fails too.
            if (!in_) return 11;
        }
    }

    // The keyword of the block being read ("" before the first) and the
    // position just after it.
    const std::string& Block() const { return block_; }
    long long BlockEnd() const { return blockEnd_; }

private:
    template <class Table, class... Args>
    int TableBlock(std::unique_ptr<Table>& slot, int failCode,
                   int (*read)(Table&, std::istream&, const std::string&, Args...), const std::string& keyword,
                   Args... args) {
        slot = std::make_unique<Table>();
        slot->SetModel(&m_);
        return read(*slot, in_, keyword, args...) == 0 ? 0 : failCode;
    }

    int Dispatch(const std::string& w) {
        if (w == "TITLE") return Title();
        if (w == "HALVOR_FC") {
            m_.halvorFlag = 1;
            return 0;
        }
        if (w == "UNIT_DATA") return Unit();
        if (w == "NODE_DATA") {
            const int code = TableBlock<NodeTable>(m_.nodeTable, 1, ReadNodeBlock, w);
            if (code == 0) {
                m_.nodeCount = m_.nodeTable->GetCount();
                m_.UpdateBoundingBox();
            }
            return code;
        }
        if (w == "MATERIAL_DATA") return TableBlock<MaterialTable>(m_.materialTable, 2, ReadMaterialBlock, w);
        if (w == "ELEMENT_DATA") {
            const int code = TableBlock<ElementTable>(m_.elementTable, 3, ReadElementBlock, w);
            if (code == 0) {
                m_.edgeFlags.assign(static_cast<std::size_t>(m_.elementTable->GetCount()) * 4, 0);
                m_.BuildEdgeFlags();
            }
            return code;
        }
        for (int k = 0; k < 5; ++k)
            if (w == kNodalKeywords[k])
                return TableBlock<NodalActionTable, int>(m_.nodalTables[static_cast<std::size_t>(k)], 4 + k,
                                                         ReadNodalTableBlock, w, k + 1);
        if (w == "CONCENTRATED_LOAD_DATA")
            return TableBlock<ConcentratedActionTable, int>(m_.concentratedLoads, 9, ReadConcentratedTableBlock, w, 1);
        if (w == "CONCENTRATED_STIFFNESS_DATA")
            return TableBlock<ConcentratedActionTable, int>(m_.concentratedStiffness, 10, ReadConcentratedTableBlock, w,
                                                            2);
        if (w == "TOTAL_CONCENTRATED_STIFFNESS_DATA")
            return TableBlock<ConcentratedActionTable, int>(m_.totalConcentratedStiffness, 10,
                                                            ReadConcentratedTableBlock, w, 2);
        if (w == "EDGE_LOAD_DATA") return TableBlock<EdgeActionTable, int>(m_.edgeLoads, 9, ReadEdgeTableBlock, w, 1);
        if (w == "EDGE_STIFFNESS_DATA")
            return TableBlock<EdgeActionTable, int>(m_.edgeStiffness, 10, ReadEdgeTableBlock, w, 2);
        for (int k = 0; k < 3; ++k)
            if (w == kSetKeywords[k])
                return TableBlock<SetTable, int>(m_.setTables[static_cast<std::size_t>(k)], k == 0 ? 11 : 12,
                                                 ReadSetBlock, w, k + 1);
        if (w == "TIME_STEPPING_DATA") return TimeStepping();
        if (w == "SOIL_STIFFNESS_DATA" || w == "SOIL_STIFFNESS_DATA_MINDLIN") return Mindlin();
        if (w == "SOIL_STIFFNESS_DATA_VLASOV") return Vlasov();
        if (w == "EQUIV_CONCENTRATED_LOAD_DATA") return EquivalentLoad();
        if (w == "CUTLINE_DATA") return TableBlock<CutLineTable>(m_.cutLineTable, 2, ReadCutLineBlock, w);
        if (w == "NODEPATH_DATA") return NodePaths();
        if (w == "MODEL_PROFILE_DATA") return Profile();
        if (w == "NONLINEAR_SPRING_DATA") return Springs();
        if (w == "NONLINEAR_NODAL_STIFFNESS_DATA") return Actions();
        return 10;
    }

    int Title() {
        std::string rest;
        std::string line;
        if (!ReadLine(in_, rest) || !ReadLine(in_, line)) return 9;
        m_.title = line;
        return 0;
    }

    int Unit() {
        std::string star;
        std::string end;
        int unit = 0;
        if (ReadWord(in_, star) && ReadInt(in_, unit) && ReadWord(in_, end)) m_.unitCode = unit;
        return 0;
    }

    int TimeStepping() {
        std::array<double, 4> t{};
        int iterations = 0;
        double tolerance = 0;
        std::string end;
        if (ReadReals(in_, t) && ReadInt(in_, iterations) && ReadReal(in_, tolerance) && ReadWord(in_, end)) {
            m_.initialIncrement = t[0];
            m_.initialTime = t[1];
            m_.finalTime = t[2];
            m_.minIncrement = t[3];
            m_.iterationsPerStep = iterations;
            m_.errorTolerance = tolerance;
        }
        return 0;
    }

    int Mindlin() {
        std::array<double, 3> v{};
        std::string end;
        if (ReadReals(in_, v) && ReadWord(in_, end)) {
            m_.soilValues[0] = v[0];
            m_.soilValues[2] = v[1];
            m_.soilValues[3] = v[2];
            m_.soilModel = 1;
        }
        return 0;
    }

    int Vlasov() {
        std::array<double, 5> v{};
        std::string end;
        if (ReadReals(in_, v) && ReadWord(in_, end)) {
            m_.soilValues[0] = v[0];
            m_.soilValues[1] = v[1];
            m_.soilValues[2] = v[2];
            m_.soilValues[4] = v[3];
            m_.soilValues[5] = v[4];
            m_.soilModel = 2;
        }
        return 0;
    }

    int EquivalentLoad() {
        int n1 = 0, n2 = 0, two = 0;
        double r1 = 0, a1 = 0, r2 = 0, a2 = 0;
        std::array<double, 9> loads{};
        std::string end;
        if (!(ReadInt(in_, n1) && ReadReal(in_, r1) && ReadReal(in_, a1) && ReadInt(in_, n2) && ReadReal(in_, r2) &&
              ReadReal(in_, a2) && ReadInt(in_, two) && ReadReals(in_, loads) && ReadWord(in_, end)))
            return 0;
        if (n1 > kMaxRingPoints || n2 > kMaxRingPoints) {
            in_.setstate(std::ios::failbit);
            return 0;
        }
        // Stores the sixteen values and computes the pattern; reading is no
        // edit, so the modified flag stays as it was.
        const unsigned char modified = m_.modified;
        m_.SetEquivLoadParameters(loads[0], loads[1], loads[2], loads[3], loads[4], loads[5], loads[6], loads[7],
                                  loads[8], two, r1, n1, a1, r2, n2, a2);
        m_.modified = modified;
        return 0;
    }

    int NodePaths() {
        int count = 0;
        if (!ReadLineInt(in_, count)) return 0;
        for (int i = 0; i < count && in_; ++i) {
            NodePath* p = m_.AppendNodePath();
            int start = 0, end = 0, mode = 0;
            if (!ReadLine(in_, p->name) || !ReadLine(in_, p->nodeListText) || !ReadInt(in_, start) ||
                !ReadInt(in_, end) || !ReadLineInt(in_, mode))
                break;
            p->startNode = start;
            p->endNode = end;
            p->mode = mode;
            // The node numbers follow once the whole file is read (the node
            // block may come later): ResolveNodePaths.
        }
        std::string endLine;
        ReadLine(in_, endLine);
        return 0;
    }

    int Profile() {
        ReadTemplateBlock(m_, in_);
        return 0;
    }

    int Springs() {
        int count = 0;
        if (!ReadLineInt(in_, count)) return 0;
        for (int i = 0; i < count && in_; ++i) {
            NonlinearSpring* s = m_.AppendNonlinearSpring();
            int n = 0;
            if (!ReadLine(in_, s->name) || !ReadLineInt(in_, n)) break;
            for (int j = 0; j < n; ++j) {
                std::string line;
                double d = 0, f = 0;
                const long long lineStart = static_cast<long long>(in_.tellg());
                if (!ReadLine(in_, line)) return 3;
                if (!ParsePointLine(line, d, f)) {
                    modelfile::ShiftRefusedWord(lineStart);
                    return 3;
                }
                s->deformations.push_back(d);
                s->forces.push_back(f);
            }
        }
        std::string endLine;
        ReadLine(in_, endLine);
        return 0;
    }

    int Actions() {
        int count = 0;
        if (!ReadLineInt(in_, count)) return 0;
        for (int i = 0; i < count && in_; ++i) {
            NonlinearAction* a = m_.AppendNonlinearAction();
            int reserved = 0, spring = 0, selector = 0;
            if (!ReadLine(in_, a->groupName) || !ReadLine(in_, a->nodeText) || !ReadInt(in_, reserved) ||
                !ReadLineInt(in_, spring) || !ReadLine(in_, a->springName) || !ReadLineInt(in_, selector))
                break;
            a->reserved = reserved;
            a->springNumber = spring;
            a->setSelector = selector > 0 ? 1 : 0;
        }
        std::string endLine;
        ReadLine(in_, endLine);
        return 0;
    }

    ModelData& m_;
    std::istream& in_;
    std::string block_;
    long long blockEnd_ = -1;
};

// 1-based line of position `pos` of `content` (the last line for -1).
long long LineAt(const std::string& content, long long pos) {
    const std::size_t end =
        pos < 0 ? content.size() : std::min<std::size_t>(static_cast<std::size_t>(pos), content.size());
    return 1 + std::count(content.begin(), content.begin() + static_cast<std::ptrdiff_t>(end), '\n');
}

// Why the keyword file `content` could not be read, for the message boxes:
// the line, the block and what was expected there.
std::string DescribeReadFailure(const std::string& content, int code, const KeywordReader& reader) {
    const modelfile::RefusedWord& refused = modelfile::LastRefusedWord();
    const std::string block = reader.Block().empty() ? std::string("the file head") : "block " + reader.Block();
    if (refused.end >= 0) {
        const std::size_t end = std::min<std::size_t>(static_cast<std::size_t>(refused.end), content.size());
        const std::size_t lineStart = end == 0 ? 0 : content.rfind('\n', end - 1) + 1;
        int field = 0;
        bool inWord = false;
        for (std::size_t i = lineStart; i < end; ++i) {
            const bool blank = std::isspace(static_cast<unsigned char>(content[i])) != 0;
            if (!blank && !inWord) ++field;
            inWord = !blank;
        }
        return "line " + std::to_string(LineAt(content, static_cast<long long>(end))) + ", field " +
               std::to_string(field) + " of " + block + ": expected " + refused.expected + ", found \"" + refused.word +
               "\"";
    }
    const std::string at = "line " + std::to_string(LineAt(content, reader.BlockEnd()));
    if (code == 10) return at + ": \"" + reader.Block() + "\" is not a block of a model file";
    if (code == 11 && reader.Block().empty()) return "no block and no END_DATA after the version line";
    if (code == 11) return "the file ends in or after " + block + " (from " + at + ") without END_DATA";
    return block + " from " + at + " does not have the expected rows";
}

// Node numbers of every node path: mode 1 the nodes on the segment from the
// start to the end node, mode 2 the node list text (ranges stop at the
// largest node number), any other mode none.
void ResolveNodePaths(ModelData& m) {
    for (NodePath* p = m.nodePaths; p; p = p->next) m.ResolveNodePathNumbers(*p);
}

}  // namespace

void ModelData::ResolveNodePathNumbers(NodePath& path) const {
    path.nodes.clear();
    if (path.mode == 1) {
        ResolveNodePath(path.nodes, std::to_string(path.startNode), std::to_string(path.endNode));
    } else if (path.mode == 2) {
        const int limit = GetNodeTable() ? GetNodeTable()->MaxNodeId() : 0;
        path.nodes = ParseIdList(path.nodeListText, limit);
    }
}

int ModelData::ReadModelFile(const std::string& path, bool skipVersion) {
    Clear();
    valuesPerNode = 6;

    int code = 11;
    std::string content;
    readError.clear();
    RemoveStaleTempFiles(path);
    std::string why;
    if (LoadFile(path, content, why)) {
        std::istringstream in(content);
        std::string versionWord;
        if (skipVersion) ReadWord(in, versionWord);
        modelfile::ClearRefusedWord();
        KeywordReader reader(*this, in);
        code = reader.Run();
        if (code != 0) readError = DescribeReadFailure(content, code, reader);
    } else {
        readError = "the file could not be read: " + why;
    }

    // Whatever the outcome, the model holds every table afterwards.
    if (code == 0) redrawFlag = 1;
    CreateMissingTables();
    const std::size_t flagCount = static_cast<std::size_t>(elementTable->GetCount()) * 4;
    if (edgeFlags.size() != flagCount) {
        edgeFlags.assign(flagCount, 0);
        BuildEdgeFlags();
    }
    nodeCount = nodeTable->GetCount();
    if (code != 0) return code;
    nodeLookup.clear();
    elementLookup.clear();
    RebuildNodeIndex();
    ResolveNodePaths(*this);
    ResolveNonlinearActions();
    return 0;
}
