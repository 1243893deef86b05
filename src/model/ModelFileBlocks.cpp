#include "model/ModelFileBlocks.h"

#include <array>
#include <vector>

#include "model/ModelFileText.h"

using modelfile::FormatReal;
using modelfile::ReadInt;
using modelfile::ReadReal;
using modelfile::ReadReals;
using modelfile::ReadWord;

namespace {

// Node and element numbers index the model's number maps; larger ones cannot
// come from a real mesh and would only make those maps exhaust memory.
constexpr int kMaxNumber = 100000000;

bool ReadNumber(std::istream& in, int& id) {
    if (!ReadInt(in, id)) return false;
    if (id > kMaxNumber) {
        in.setstate(std::ios::failbit);
        return false;
    }
    return true;
}

std::string EndWord(const std::string& keyword) { return "END_" + keyword; }

// Entry j of a row's array; 0 past its end (the table's parameter may ask for
// more entries than the row holds).
template <class T>
T EntryOrZero(const std::vector<T>& a, int j) {
    return j >= 0 && j < static_cast<int>(a.size()) ? a[static_cast<std::size_t>(j)] : T{};
}

// A text the readers take as one word: a row holding anything else would be
// read back shifted, so the writer refuses it (the stream fails).
bool WordOk(std::ostream& out, const std::string& text) {
    const bool ok = !text.empty() && modelfile::WordRule(text).empty();
    if (!ok) out.setstate(std::ios::failbit);
    return ok;
}

// The row loop of every block reader: while the next word is "*", readRow()
// reads the row after it and adds it to the table; it gives false when the
// row cannot be taken (a value missing: the stream has failed). The rows read
// are then counted and indexed. 0 when the word after the rows is "END_" and
// the keyword, 1 otherwise.
template <class Table, class ReadRow>
int ReadRows(Table& table, std::istream& in, const std::string& keyword, ReadRow readRow) {
    std::string word;
    while (ReadWord(in, word) && word == "*")
        if (!readRow()) break;
    table.CountRows();
    table.RebuildIndex();
    return in && word == EndWord(keyword) ? 0 : 1;
}

}  // namespace

// ---------------------------------------------------------------------------
// Writers

int WriteNodeBlock(const NodeTable& table, std::ostream& out, const std::string& keyword) {
    for (const NodeRow* r = table.GetHead(); r; r = r->next)
        out << "*\t" << r->id << '\t' << FormatReal(r->x) << '\t' << FormatReal(r->y) << '\t' << FormatReal(r->z)
            << '\n';
    out << EndWord(keyword) << '\n';
    return 0;
}

int WriteElementBlock(const ElementTable& table, std::ostream& out, const std::string& keyword) {
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
        for (int j = 0; j < n; ++j) out << '\t' << EntryOrZero(r->nodes, j);
        out << '\n';
    }
    out << EndWord(keyword) << '\n';
    return 0;
}

int WriteMaterialBlock(const MaterialTable& table, std::ostream& out, const std::string& keyword) {
    for (const MaterialRow* r = table.GetHead(); r; r = r->next) {
        if (!WordOk(out, r->element)) return 1;
        if (r->type < kMaterialIsotropic || r->type > kMaterialUserOrtho) {
            // A row of unknown type would make the whole block unreadable.
            out.setstate(std::ios::failbit);
            return 1;
        }
        out << "*\t" << r->element << '\t' << r->type << '\t' << FormatReal(r->E) << '\t' << FormatReal(r->Es) << '\t'
            << FormatReal(r->nu) << '\t' << FormatReal(r->thickness) << '\n';
        const Rigidities& d = r->rigidities;
        auto rigidityLine = [&] {
            out << '*';
            for (double v : {d.Dyy, d.Dzz, d.Dv, d.Dyz, d.Dsy, d.Dsz}) out << '\t' << FormatReal(v);
            out << '\n';
        };
        switch (r->type) {
            case kMaterialRebar: {
                const RebarLayers& a = r->rebar;
                out << '*';
                for (double v : {a.As1, a.x1, a.As2, a.x2, a.As3, a.x3, a.As4, a.x4}) out << '\t' << FormatReal(v);
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
            default: break;
        }
    }
    out << EndWord(keyword) << '\n';
    return 0;
}

int WriteNodalTableBlock(const NodalActionTable& table, std::ostream& out, const std::string& keyword) {
    const int n = table.GetValuesPerRow();
    for (const NodalRow* r = table.GetHead(); r; r = r->next) {
        if (!WordOk(out, r->target)) return 1;
        out << "*\t" << r->target << '\t';
        for (int j = 0; j < n; ++j) out << ' ' << EntryOrZero(r->flags, j) << ' ';
        for (int j = 0; j < n; ++j) out << '\t' << FormatReal(EntryOrZero(r->values, j));
        out << '\n';
    }
    out << EndWord(keyword) << '\n';
    return 0;
}

int WriteConcentratedTableBlock(const ConcentratedActionTable& table, std::ostream& out, const std::string& keyword) {
    const int nc = table.GetCoordinatesPerRow();
    const int nv = table.GetValuesPerRow();
    for (const ConcentratedRow* r = table.GetHead(); r; r = r->next) {
        out << "*\t";
        for (int j = 0; j < nc; ++j) out << ' ' << FormatReal(EntryOrZero(r->coordinates, j)) << ' ';
        for (int j = 0; j < nv; ++j) out << '\t' << FormatReal(EntryOrZero(r->values, j));
        out << '\n';
    }
    out << EndWord(keyword) << '\n';
    return 0;
}

int WriteEdgeTableBlock(const EdgeActionTable& table, std::ostream& out, const std::string& keyword) {
    for (const EdgeRow* r = table.GetHead(); r; r = r->next) {
        if (!WordOk(out, r->target)) return 1;
        out << "*\t" << r->target << '\t' << r->side << '\t' << r->dof << '\t';
        for (double v : r->values) out << '\t' << FormatReal(v);
        out << '\n';
    }
    out << EndWord(keyword) << '\n';
    return 0;
}

int WriteSetListBlock(const SetMemberList* members, std::ostream& out, const std::string& setName, int setKind) {
    if (members) {
        for (const SetMemberRow* m = members->GetHead(); m; m = m->next) {
            if (!WordOk(out, m->first)) return 1;
            out << "*\t" << m->first << '\t' << m->final << '\t' << m->increment;
            if (setKind == 3) out << '\t' << m->side;
            out << '\n';
        }
    }
    out << EndWord(setName) << '\n';
    return 0;
}

int WriteSetBlock(const SetTable& table, std::ostream& out, const std::string& keyword, int setKind) {
    for (const SetRow* r = table.GetHead(); r; r = r->next) {
        // The member list ends with END_ and the name, also a single word.
        if (!WordOk(out, r->name)) return 1;
        if (r->name.size() > modelfile::kMaxSetNameLength) {
            out.setstate(std::ios::failbit);
            return 1;
        }
        out << "*\t" << r->name << '\n';
        if (WriteSetListBlock(r->members.get(), out, r->name, setKind) != 0) return 1;
    }
    out << EndWord(keyword) << '\n' << '\n';
    return 0;
}

int WriteCutLineBlock(const CutLineTable& table, std::ostream& out, const std::string& keyword) {
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

int ReadNodeBlock(NodeTable& table, std::istream& in, const std::string& keyword) {
    table.SetColumns(6);
    table.SetCount(0);
    const int code = ReadRows(table, in, keyword, [&] {
        int id = 0;
        std::array<double, 3> c{};
        if (!ReadNumber(in, id) || !ReadReals(in, c)) return false;
        table.AddNodeRow(id, c[0], c[1], c[2]);
        return true;
    });
    if (code == 0) table.SortNodeRows();
    return code;
}

int ReadElementBlock(ElementTable& table, std::istream& in, const std::string& keyword) {
    table.SetNodesPerElement(8);
    table.SetCount(0);
    std::string type;
    std::string integration;
    if (!ReadWord(in, type)) return 1;
    int nodes = 0;
    if (type == "LINEAR4")
        nodes = 4;
    else if (type == "QUAD8")
        nodes = 8;
    else if (type == "QUAD9")
        nodes = 9;
    else
        return 1;
    if (!ReadWord(in, integration)) return 1;
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

    std::vector<int> numbers(static_cast<std::size_t>(nodes));
    const int code = ReadRows(table, in, keyword, [&] {
        int id = 0;
        int material = 0;
        if (!ReadNumber(in, id) || !ReadInt(in, material)) return false;
        for (int& v : numbers)
            if (!ReadInt(in, v)) return false;
        table.AddElementRow(id, material, numbers);
        return true;
    });
    if (code == 0) table.SortById();
    return code;
}

int ReadMaterialBlock(MaterialTable& table, std::istream& in, const std::string& keyword) {
    table.SetCount(0);
    return ReadRows(table, in, keyword, [&] {
        std::string element;
        int type = 0;
        std::array<double, 4> base{};
        if (!ReadWord(in, element) || !ReadInt(in, type) || !ReadReals(in, base)) return false;
        // A row of unknown type fails the block: skipping it would shift the
        // positions of the later materials, which the elements refer to.
        if (type < kMaterialIsotropic || type > kMaterialUserOrtho) return false;
        std::string mark;
        std::array<double, 6> d6{};
        auto readRigidities = [&] { return ReadWord(in, mark) && ReadReals(in, d6); };
        auto rigidities = [&] { return Rigidities{d6[0], d6[1], d6[2], d6[3], d6[4], d6[5]}; };
        switch (type) {
            case kMaterialRebar: {
                std::array<double, 8> a{};
                if (!(ReadWord(in, mark) && ReadReals(in, a) && readRigidities())) return false;
                table.AddRebarMaterialRow(element, type, base[0], base[1], base[2], base[3],
                                          RebarLayers{a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]}, rigidities());
                return true;
            }
            case kMaterialRib: {
                std::array<double, 7> r{};
                if (!(ReadWord(in, mark) && ReadReals(in, r) && readRigidities())) return false;
                table.AddRibMaterialRow(element, type, base[0], base[1], base[2], base[3],
                                        RibSection{r[0], r[1], r[2], r[3], r[4], r[5], r[6]}, rigidities());
                return true;
            }
            case kMaterialBox: {
                BoxSection box;
                if (!(ReadWord(in, mark) && ReadInt(in, box.n) && ReadReal(in, box.b) && ReadReal(in, box.h) &&
                      readRigidities()))
                    return false;
                table.AddBoxMaterialRow(element, type, base[0], base[1], base[2], base[3], box, rigidities());
                return true;
            }
            case kMaterialUserOrtho:
                if (!readRigidities()) return false;
                table.AddUserOrthoMaterialRow(element, type, base[0], base[1], base[2], base[3], rigidities());
                return true;
            default: table.AddMaterialRow(element, type, base[0], base[1], base[2], base[3]); return true;
        }
    });
}

int ReadNodalTableBlock(NodalActionTable& table, std::istream& in, const std::string& keyword, int kindCode) {
    table.SetValuesPerRow(6);
    table.SetCount(0);
    table.SetKindCode(kindCode);
    return ReadRows(table, in, keyword, [&] {
        std::string target;
        std::array<int, 6> flags{};
        std::array<double, 6> values{};
        if (!ReadWord(in, target)) return false;
        for (int& f : flags)
            if (!ReadInt(in, f)) return false;
        if (!ReadReals(in, values)) return false;
        table.AddNodalActionRow(target, values, flags);
        return true;
    });
}

int ReadConcentratedTableBlock(ConcentratedActionTable& table, std::istream& in, const std::string& keyword,
                               int kindCode) {
    table.SetCoordinatesPerRow(3);
    table.SetValuesPerRow(6);
    table.SetCount(0);
    table.SetKindCode(kindCode);
    return ReadRows(table, in, keyword, [&] {
        std::array<double, 3> coordinates{};
        std::array<double, 6> values{};
        if (!ReadReals(in, coordinates) || !ReadReals(in, values)) return false;
        table.AddConcentratedActionRow(values, coordinates);
        return true;
    });
}

int ReadEdgeTableBlock(EdgeActionTable& table, std::istream& in, const std::string& keyword, int kindCode) {
    table.SetCount(0);
    table.SetKindCode(kindCode);
    return ReadRows(table, in, keyword, [&] {
        std::string target;
        int side = 0;
        int dof = 0;
        std::array<double, 3> values{};
        if (!ReadWord(in, target) || !ReadInt(in, side) || !ReadInt(in, dof) || !ReadReals(in, values)) return false;
        table.AddEdgeActionRow(target, side, dof, values);
        return true;
    });
}

int ReadSetListBlock(SetMemberList& members, std::istream& in, const std::string& setName, int setKind) {
    return ReadRows(members, in, setName, [&] {
        std::string first;
        int final = 0;
        int increment = 0;
        int side = 1;
        if (!ReadWord(in, first) || !ReadInt(in, final) || !ReadInt(in, increment)) return false;
        if (setKind == 3 && !ReadInt(in, side)) return false;
        members.AddSetMemberRow(first, final, increment, side);
        return true;
    });
}

int ReadSetBlock(SetTable& table, std::istream& in, const std::string& keyword, int setKind) {
    table.SetCount(0);
    table.SetSetKind(setKind);
    return ReadRows(table, in, keyword, [&] {
        std::string name;
        if (!ReadWord(in, name)) return false;
        // The member reader's result is not used: a set whose member rows
        // end with another word is still added.
        SetMemberList members;
        ReadSetListBlock(members, in, name, setKind);
        if (!in) return false;
        // A set without member rows (such as "ALL") keeps no member list.
        table.AddSetRow(name, members.GetCount() > 0 ? &members : nullptr);
        return true;
    });
}

int ReadCutLineBlock(CutLineTable& table, std::istream& in, const std::string& keyword) {
    table.SetCount(0);
    // The header row; when the block does not begin with it, its first word
    // is lost.
    std::string word;
    if (!ReadWord(in, word)) return 1;
    if (word == "*") {
        int option = 0;
        int division = 0;
        if (!ReadInt(in, option) || !ReadInt(in, division)) return 1;
        table.SetInterpolationOption(option == 0 ? 1 : option);
        table.SetSegmentDivisionCode(division);
    }
    return ReadRows(table, in, keyword, [&] {
        int line = 0;
        std::array<double, 4> c{};
        if (!ReadInt(in, line) || !ReadReals(in, c)) return false;
        table.AddCutLineRow(c[0], c[1], c[2], c[3]);
        return true;
    });
}
