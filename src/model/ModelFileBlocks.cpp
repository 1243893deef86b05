#include "model/ModelFileBlocks.h"

#include <array>
#include <vector>

#include "model/ModelFileText.h"

using modelfile::FormatReal;
using modelfile::ReadInt;
using modelfile::ReadReal;
using modelfile::ReadWord;

namespace {

// Node and element numbers index the model's number maps; larger ones cannot
// come from a real mesh and would only make those maps exhaust memory.
constexpr int kMaxNumber = 100000000;

bool ReadNumber(std::istream& in, int& id)
{
    if (!ReadInt(in, id))
        return false;
    if (id > kMaxNumber) {
        in.setstate(std::ios::failbit);
        return false;
    }
    return true;
}

std::string EndWord(const std::string& keyword)
{
    return "END_" + keyword;
}

// Reads reals into `values`; false (stream failed) when one is missing.
template <std::size_t N>
bool ReadReals(std::istream& in, std::array<double, N>& values)
{
    for (double& v : values)
        if (!ReadReal(in, v))
            return false;
    return true;
}

// Reads the next word of a row loop: true with `word` set, false when the
// input gave nothing (the block then fails).
bool NextWord(std::istream& in, std::string& word)
{
    return ReadWord(in, word);
}

// A text the readers take as one word: a row holding anything else would be
// read back shifted, so the writer refuses it (the stream fails).
bool WordOk(std::ostream& out, const std::string& text)
{
    bool ok = !text.empty() && text.size() <= modelfile::kMaxWordLength;
    for (char c : text)
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f')
            ok = false;
    if (!ok)
        out.setstate(std::ios::failbit);
    return ok;
}

template <class Table>
void Finish(Table& table)
{
    table.CountRows();
    table.RebuildIndex();
}

}  // namespace

// ---------------------------------------------------------------------------
// Writers

int WriteNodeBlock(const NodeTable& table, std::ostream& out, const std::string& keyword)
{
    for (const NodeRow* r = table.GetHead(); r; r = r->next)
        out << "*\t" << r->id << '\t' << FormatReal(r->x) << '\t' << FormatReal(r->y) << '\t'
            << FormatReal(r->z) << '\n';
    out << EndWord(keyword) << '\n';
    return 0;
}

int WriteElementBlock(const ElementTable& table, std::ostream& out, const std::string& keyword)
{
    const int n = table.GetNodesPerElement();
    const char* type = n == 4 ? "LINEAR4" : n == 8 ? "QUAD8" : n == 9 ? "QUAD9" : nullptr;
    if (!type) {
        // No element type word exists for this node count: a file written
        // anyway could not be read back.
        out.setstate(std::ios::failbit);
        return 1;
    }
    const int order2 = table.GetIntegrationOrder2();
    const bool reduced = order2 == 1 || (n > 4 && order2 == 2);
    out << '\t' << type << '\t' << (reduced ? "REDUCED_INTEGRATION" : "NORMAL_INTEGRATION") << '\n';
    for (const ElementRow* r = table.GetHead(); r; r = r->next) {
        out << "*\t" << r->id << '\t' << r->material;
        for (int j = 0; j < n; ++j)
            out << '\t' << (j < static_cast<int>(r->nodes.size()) ? r->nodes[static_cast<std::size_t>(j)] : 0);
        out << '\n';
    }
    out << EndWord(keyword) << '\n';
    return 0;
}

int WriteMaterialBlock(const MaterialTable& table, std::ostream& out, const std::string& keyword)
{
    for (const MaterialRow* r = table.GetHead(); r; r = r->next) {
        if (!WordOk(out, r->element))
            return 1;
        if (r->type < kMaterialIsotropic || r->type > kMaterialUserOrtho) {
            // A row of unknown type would make the whole block unreadable.
            out.setstate(std::ios::failbit);
            return 1;
        }
        out << "*\t" << r->element << '\t' << r->type << '\t' << FormatReal(r->E) << '\t'
            << FormatReal(r->Es) << '\t' << FormatReal(r->nu) << '\t' << FormatReal(r->thickness) << '\n';
        const Rigidities& d = r->rigidities;
        auto rigidityLine = [&] {
            out << '*';
            for (double v : {d.Dyy, d.Dzz, d.Dv, d.Dyz, d.Dsy, d.Dsz})
                out << '\t' << FormatReal(v);
            out << '\n';
        };
        switch (r->type) {
        case kMaterialRebar: {
            const RebarLayers& a = r->rebar;
            out << '*';
            for (double v : {a.As1, a.x1, a.As2, a.x2, a.As3, a.x3, a.As4, a.x4})
                out << '\t' << FormatReal(v);
            out << '\n';
            rigidityLine();
            break;
        }
        case kMaterialRib: {
            const RibSection& s = r->rib;
            out << '*';
            for (double v : {s.h1, s.b1, s.c1, s.h2, s.b2, s.c2, s.torsionalReduction})
                out << '\t' << FormatReal(v);
            out << '\n';
            rigidityLine();
            break;
        }
        case kMaterialBox:
            out << "*\t" << r->box.n << '\t' << FormatReal(r->box.b) << '\t' << FormatReal(r->box.h) << '\n';
            rigidityLine();
            break;
        case kMaterialUserOrtho:
            out << "*\t" << FormatReal(d.Dyy) << ' ' << FormatReal(d.Dzz) << ' ' << FormatReal(d.Dv) << ' '
                << FormatReal(d.Dyz) << ' ' << FormatReal(d.Dsy) << ' ' << FormatReal(d.Dsz) << '\n';
            break;
        default:
            break;
        }
    }
    out << EndWord(keyword) << '\n';
    return 0;
}

int WriteNodalTableBlock(const NodalActionTable& table, std::ostream& out, const std::string& keyword)
{
    const int n = table.GetValuesPerRow();
    for (const NodalRow* r = table.GetHead(); r; r = r->next) {
        if (!WordOk(out, r->target))
            return 1;
        out << "*\t" << r->target << '\t';
        for (int j = 0; j < n; ++j)
            out << ' ' << (j < static_cast<int>(r->flags.size()) ? r->flags[static_cast<std::size_t>(j)] : 0) << ' ';
        for (int j = 0; j < n; ++j)
            out << '\t'
                << FormatReal(j < static_cast<int>(r->values.size()) ? r->values[static_cast<std::size_t>(j)] : 0.0);
        out << '\n';
    }
    out << EndWord(keyword) << '\n';
    return 0;
}

int WriteConcentratedTableBlock(const ConcentratedActionTable& table, std::ostream& out,
                                const std::string& keyword)
{
    const int nc = table.GetCoordinatesPerRow();
    const int nv = table.GetValuesPerRow();
    for (const ConcentratedRow* r = table.GetHead(); r; r = r->next) {
        out << "*\t";
        for (int j = 0; j < nc; ++j)
            out << ' '
                << FormatReal(j < static_cast<int>(r->coordinates.size()) ? r->coordinates[static_cast<std::size_t>(j)]
                                                                          : 0.0)
                << ' ';
        for (int j = 0; j < nv; ++j)
            out << '\t'
                << FormatReal(j < static_cast<int>(r->values.size()) ? r->values[static_cast<std::size_t>(j)] : 0.0);
        out << '\n';
    }
    out << EndWord(keyword) << '\n';
    return 0;
}

int WriteEdgeTableBlock(const EdgeActionTable& table, std::ostream& out, const std::string& keyword)
{
    for (const EdgeRow* r = table.GetHead(); r; r = r->next) {
        if (!WordOk(out, r->target))
            return 1;
        out << "*\t" << r->target << '\t' << r->side << '\t' << r->dof << '\t';
        for (double v : r->values)
            out << '\t' << FormatReal(v);
        out << '\n';
    }
    out << EndWord(keyword) << '\n';
    return 0;
}

int WriteSetListBlock(const SetMemberList* members, std::ostream& out, const std::string& setName,
                      int setKind)
{
    if (members) {
        for (const SetMemberRow* m = members->GetHead(); m; m = m->next) {
            if (!WordOk(out, m->first))
                return 1;
            out << "*\t" << m->first << '\t' << m->final << '\t' << m->increment;
            if (setKind == 3)
                out << '\t' << m->side;
            out << '\n';
        }
    }
    out << EndWord(setName) << '\n';
    return 0;
}

int WriteSetBlock(const SetTable& table, std::ostream& out, const std::string& keyword, int setKind)
{
    for (const SetRow* r = table.GetHead(); r; r = r->next) {
        // The member list ends with END_ and the name, also a single word.
        if (!WordOk(out, r->name))
            return 1;
        if (r->name.size() + 4 > modelfile::kMaxWordLength) {
            out.setstate(std::ios::failbit);
            return 1;
        }
        out << "*\t" << r->name << '\n';
        if (WriteSetListBlock(r->members.get(), out, r->name, setKind) != 0)
            return 1;
    }
    out << EndWord(keyword) << '\n' << '\n';
    return 0;
}

int WriteCutLineBlock(const CutLineTable& table, std::ostream& out, const std::string& keyword)
{
    out << "*\t" << table.GetInterpolationOption() << '\t' << table.GetSegmentDivisionCode() << '\n';
    int line = 1;
    for (const CutLineRow* r = table.GetHead(); r; r = r->next, ++line)
        out << "*\t" << line << '\t' << FormatReal(r->startY) << '\t' << FormatReal(r->startZ) << '\t'
            << FormatReal(r->endY) << '\t' << FormatReal(r->endZ) << '\n';
    out << EndWord(keyword) << '\n';
    return 0;
}

// ---------------------------------------------------------------------------
// Readers

int ReadNodeBlock(NodeTable& table, std::istream& in, const std::string& keyword)
{
    table.SetColumns(6);
    table.SetCount(0);
    std::string word;
    while (NextWord(in, word) && word == "*") {
        int id = 0;
        std::array<double, 3> c{};
        if (!ReadNumber(in, id) || !ReadReals(in, c))
            break;
        table.AddNodeRow(id, c[0], c[1], c[2]);
    }
    Finish(table);
    if (!in || word != EndWord(keyword))
        return 1;
    table.SortNodeRows();
    return 0;
}

int ReadElementBlock(ElementTable& table, std::istream& in, const std::string& keyword)
{
    table.SetNodesPerElement(8);
    table.SetCount(0);
    std::string type;
    std::string integration;
    if (!ReadWord(in, type))
        return 1;
    int nodes = 0;
    if (type == "LINEAR4")
        nodes = 4;
    else if (type == "QUAD8")
        nodes = 8;
    else if (type == "QUAD9")
        nodes = 9;
    else
        return 1;
    if (!ReadWord(in, integration))
        return 1;
    bool reduced = false;
    if (integration == "REDUCED_INTEGRATION")
        reduced = true;
    else if (integration != "NORMAL_INTEGRATION")
        return 1;
    table.SetNodesPerElement(nodes);
    if (nodes == 4) {
        table.SetIntegrationOrder1(2);
        table.SetIntegrationOrder2(reduced ? 1 : 2);
    } else {
        table.SetIntegrationOrder1(reduced ? 2 : 3);
        table.SetIntegrationOrder2(reduced ? 2 : 3);
    }

    std::string word;
    std::vector<int> numbers(static_cast<std::size_t>(nodes));
    while (NextWord(in, word) && word == "*") {
        int id = 0;
        int material = 0;
        if (!ReadNumber(in, id) || !ReadInt(in, material))
            break;
        bool ok = true;
        for (int& v : numbers)
            if (!ReadInt(in, v)) {
                ok = false;
                break;
            }
        if (!ok)
            break;
        table.AddElementRow(id, material, numbers);
    }
    Finish(table);
    if (!in || word != EndWord(keyword))
        return 1;
    table.SortById();
    return 0;
}

int ReadMaterialBlock(MaterialTable& table, std::istream& in, const std::string& keyword)
{
    table.SetCount(0);
    std::string word;
    bool badRow = false;
    while (NextWord(in, word) && word == "*") {
        std::string element;
        int type = 0;
        std::array<double, 4> base{};
        if (!ReadWord(in, element) || !ReadInt(in, type) || !ReadReals(in, base))
            break;
        if (type < kMaterialIsotropic || type > kMaterialUserOrtho) {
            // Skipping the row would shift the positions of the later
            // materials, which the elements refer to.
            badRow = true;
            break;
        }
        std::string mark;
        std::array<double, 6> d6{};
        auto readRigidities = [&] { return ReadWord(in, mark) && ReadReals(in, d6); };
        auto rigidities = [&] { return Rigidities{d6[0], d6[1], d6[2], d6[3], d6[4], d6[5]}; };
        bool ok = true;
        switch (type) {
        case kMaterialIsotropic:
            table.AddMaterialRow(element, type, base[0], base[1], base[2], base[3]);
            break;
        case kMaterialRebar: {
            std::array<double, 8> a{};
            ok = ReadWord(in, mark) && ReadReals(in, a) && readRigidities();
            if (ok)
                table.AddRebarMaterialRow(element, type, base[0], base[1], base[2], base[3],
                                          RebarLayers{a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]},
                                          rigidities());
            break;
        }
        case kMaterialRib: {
            std::array<double, 7> s{};
            ok = ReadWord(in, mark) && ReadReals(in, s) && readRigidities();
            if (ok)
                table.AddRibMaterialRow(element, type, base[0], base[1], base[2], base[3],
                                        RibSection{s[0], s[1], s[2], s[3], s[4], s[5], s[6]}, rigidities());
            break;
        }
        case kMaterialBox: {
            BoxSection box;
            ok = ReadWord(in, mark) && ReadInt(in, box.n) && ReadReal(in, box.b) && ReadReal(in, box.h) &&
                 readRigidities();
            if (ok)
                table.AddBoxMaterialRow(element, type, base[0], base[1], base[2], base[3], box, rigidities());
            break;
        }
        case kMaterialUserOrtho:
            ok = readRigidities();
            if (ok)
                table.AddUserOrthoMaterialRow(element, type, base[0], base[1], base[2], base[3], rigidities());
            break;
        }
        if (!ok)
            break;
    }
    Finish(table);
    if (badRow || !in || word != EndWord(keyword))
        return 1;
    return 0;
}

int ReadNodalTableBlock(NodalActionTable& table, std::istream& in, const std::string& keyword, int kindCode)
{
    table.SetValuesPerRow(6);
    table.SetCount(0);
    table.SetKindCode(kindCode);
    std::string word;
    while (NextWord(in, word) && word == "*") {
        std::string target;
        std::array<int, 6> flags{};
        std::array<double, 6> values{};
        if (!ReadWord(in, target))
            break;
        bool ok = true;
        for (int& f : flags)
            if (!ReadInt(in, f)) {
                ok = false;
                break;
            }
        if (!ok || !ReadReals(in, values))
            break;
        table.AddNodalActionRow(target, values, flags);
    }
    Finish(table);
    if (!in || word != EndWord(keyword))
        return 1;
    return 0;
}

int ReadConcentratedTableBlock(ConcentratedActionTable& table, std::istream& in, const std::string& keyword,
                               int kindCode)
{
    table.SetCoordinatesPerRow(3);
    table.SetValuesPerRow(6);
    table.SetCount(0);
    table.SetKindCode(kindCode);
    std::string word;
    while (NextWord(in, word) && word == "*") {
        std::array<double, 3> coordinates{};
        std::array<double, 6> values{};
        if (!ReadReals(in, coordinates) || !ReadReals(in, values))
            break;
        table.AddConcentratedActionRow(values, coordinates);
    }
    Finish(table);
    if (!in || word != EndWord(keyword))
        return 1;
    return 0;
}

int ReadEdgeTableBlock(EdgeActionTable& table, std::istream& in, const std::string& keyword, int kindCode)
{
    table.SetCount(0);
    table.SetKindCode(kindCode);
    std::string word;
    while (NextWord(in, word) && word == "*") {
        std::string target;
        int side = 0;
        int dof = 0;
        std::array<double, 3> values{};
        if (!ReadWord(in, target) || !ReadInt(in, side) || !ReadInt(in, dof) || !ReadReals(in, values))
            break;
        table.AddEdgeActionRow(target, side, dof, values);
    }
    Finish(table);
    if (!in || word != EndWord(keyword))
        return 1;
    return 0;
}

int ReadSetListBlock(SetMemberList& members, std::istream& in, const std::string& setName, int setKind)
{
    std::string word;
    while (NextWord(in, word) && word == "*") {
        std::string first;
        int final = 0;
        int increment = 0;
        int side = 1;
        if (!ReadWord(in, first) || !ReadInt(in, final) || !ReadInt(in, increment))
            break;
        if (setKind == 3 && !ReadInt(in, side))
            break;
        members.AddSetMemberRow(first, final, increment, side);
    }
    members.CountRows();
    members.RebuildIndex();
    if (!in || word != EndWord(setName))
        return 1;
    return 0;
}

int ReadSetBlock(SetTable& table, std::istream& in, const std::string& keyword, int setKind)
{
    table.SetCount(0);
    table.SetSetKind(setKind);
    std::string word;
    while (NextWord(in, word) && word == "*") {
        std::string name;
        if (!ReadWord(in, name))
            break;
        SetMemberList members;
        ReadSetListBlock(members, in, name, setKind);
        if (!in)
            break;
        // A set without member rows (such as "ALL") keeps no member list.
        table.AddSetRow(name, members.GetCount() > 0 ? &members : nullptr);
    }
    Finish(table);
    if (!in || word != EndWord(keyword))
        return 1;
    return 0;
}

int ReadCutLineBlock(CutLineTable& table, std::istream& in, const std::string& keyword)
{
    table.SetCount(0);
    std::string word;
    if (!ReadWord(in, word))
        return 1;
    if (word == "*") {
        int option = 0;
        int division = 0;
        if (!ReadInt(in, option) || !ReadInt(in, division))
            return 1;
        table.SetInterpolationOption(option == 0 ? 1 : option);
        table.SetSegmentDivisionCode(division);
    }
    while (NextWord(in, word) && word == "*") {
        int line = 0;
        std::array<double, 4> c{};
        if (!ReadInt(in, line) || !ReadReals(in, c))
            break;
        table.AddCutLineRow(c[0], c[1], c[2], c[3]);
    }
    Finish(table);
    if (!in || word != EndWord(keyword))
        return 1;
    return 0;
}
