// The two input checks: numbered diagnoses, post-disaster data cards, the
// front width and the status they hand back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "solver/input/checks.h"
#include "solver/input/read_input.h"
#include "solver/run/state.h"
#include "test_input_support.h"

namespace {

using namespace solver_test;
using parvane::RunState;

std::string card(const std::string& line) {
    std::string c = "     " + line;
    c.resize(85, ' ');
    return c;
}

// A 2 x 1 strip of two 4-node elements (nodes 1..6) with `extra` nodes after
// them, restraints and materials given as text.
struct Mesh {
    int npoin = 6;
    int nmats = 1;
    std::string elements = "  1  11  1  1  2  5  4\n  2  12  1  2  3  6  5";
    std::string nodes =
        "  1  1  0 0  0\n  2  2  0 1  0\n  3  3  0 2  0\n  4  4  0 0  1\n  5  5  0 1  1\n  6  6  0 2  1";
    std::vector<std::string> restraints = {"  1   1  1  1  1  1  1   0  0  0  0  0  0"};
    std::string materials = " 1\t1  1000  0.2  0.1";
    std::string text() const {
        std::string t = "strip\n0\n" + std::to_string(npoin) + "  2  " + std::to_string(nmats) + "  4  2  2  " +
                        std::to_string(restraints.size()) + "  0  0  0  0  0  0  0  0  0  0  0  \n0  0  0\n" +
                        "1  0  1  0.1  10  0.001  \n" + elements + "\n" + nodes + "\n";
        for (const auto& r : restraints) t += r + "\n";
        return t + materials + "\n2 1\t5\n1  0 0 2 1\n2  0 1 2 0.5\n\n";
    }
};

struct Outcome {
    int status = 0;
    std::vector<std::string> listing, messages;
};

Outcome run(const std::string& text) {
    ScratchDir dir("check");
    write_text(dir.file("m.sin"), text);
    RunState st;
    open_units(st, dir.file("m.sin"), dir);
    Outcome o;
    o.status = load_input(st);
    st.units.close_all();
    o.listing = read_lines(dir.file("out.sou"));
    o.messages = read_lines(dir.file("out.sms"));
    return o;
}

std::vector<std::string> tail_from(const std::vector<std::string>& lines, const std::string& first) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == first) return {lines.begin() + static_cast<long>(i), lines.end()};
    return {};
}

// ---------------------------------------------------------------------------

TEST(Check1, ZeroNodesGivesErrorOneAndListsTheWholeBody) {
    const std::string text =
        "no nodes\n0\n0  1  1  4  2  2  0  0  0  0  0  0  0  0  0  0  0  0  \n0  0  0\n1  0  1  0.1  10  0.001  \n"
        "  1  7  1  1  2  3  4\n 1\t1  1000  0.2  0.1\n0 1\t5\n\n";
    const Outcome o = run(text);
    EXPECT_EQ(o.status, parvane::kStatusInput);
    const std::vector<std::string> want_tail = {
        " *** diagnosis by check1, error  1",
        "",
        "",
        " now following a listing of post-disaster data cards",
        "",
        card("  1  7  1  1  2  3  4"),
        card(" 1\t1  1000  0.2  0.1"),
        card("0 1\t5"),
        card(""),
    };
    EXPECT_EQ(tail_from(o.listing, " *** diagnosis by check1, error  1"), want_tail);
    // The message file holds the diagnosis alone.
    EXPECT_EQ(o.messages, (std::vector<std::string>{"", "", " *** diagnosis by check1, error  1"}));
}

TEST(Check1, DiagnosesInIncreasingOrder) {
    struct Case {
        const char* counts;
        std::vector<int> errors;
    };
    const Case cases[] = {
        {"4  1  1  4  2  2  0", {}},      // a 4-node mesh passes
        {"4  1  1  10  2  2  0", {6}},    // nnode 10
        {"4  1  1  2  2  2  0", {2, 6}},  // nnode 2: too few nodes as well
        {"5  1  2  4  4  2  6", {2, 3, 8, 10}},
        {"4  1  1  4  0  2  -1", {3, 10}},
        {"4  1  0  4  2  2  0", {8}},
    };
    for (const auto& c : cases) {
        const std::string text = std::string("t\n0\n") + c.counts +
                                 "  0  0  0  0  0  0  0  0  0  0  0  \n0  0  0\n1  0  1  0.1  10  0.001  \n"
                                 "  1  7  1  1  2  3  4\n";
        ScratchDir dir("check1");
        write_text(dir.file("m.sin"), text);
        RunState st;
        open_units(st, dir.file("m.sin"), dir);
        int status = 0;
        parvane::read_head(st, status);
        ASSERT_LE(status, 0);
        parvane::set_fixed_values(st);
        parvane::check1(st, status);
        st.units.close_all();
        std::vector<std::string> want;
        for (int e : c.errors) {
            want.push_back("");
            want.push_back("");
            want.push_back(" *** diagnosis by check1, error" + fio::fmt_i(e, 3));
        }
        EXPECT_EQ(read_lines(dir.file("out.sms")), want) << c.counts;
        EXPECT_EQ(status, c.errors.empty() ? 0 : parvane::kStatusInput) << c.counts;
        for (int k = 1; k <= 12; ++k) {
            const bool set = std::find(c.errors.begin(), c.errors.end(), k) != c.errors.end();
            EXPECT_EQ(st.check_errors[static_cast<std::size_t>(k)], set ? 1 : 0) << c.counts << " error " << k;
        }
    }
}

// ---------------------------------------------------------------------------

TEST(Check2, AcceptedMeshWritesOnlyTheFrontWidth) {
    const Outcome o = run(Mesh{}.text());
    EXPECT_EQ(o.status, -1);
    // Nodes 1 and 4 leave the front when element 2 brings in 3 and 6.
    EXPECT_EQ(tail_from(o.listing, " maximum frontwidth encountered =   24"),
              (std::vector<std::string>{" maximum frontwidth encountered =   24", "", ""}));
    EXPECT_TRUE(o.messages.empty());
}

TEST(Check2, DiagnosesOfMeshAndRestraints) {
    struct Case {
        const char* what;
        Mesh mesh;
        std::vector<std::pair<int, int>> errors;  // error, associated number
        std::vector<std::string> why_nodes;       // " check why node" lines
    };
    auto with = [](auto change) {
        Mesh m;
        change(m);
        return m;
    };
    const Case cases[] = {
        {"two nodes at one place",
         with([](Mesh& m) {
             m.nodes = "  1  1  0 0  0\n  2  2  0 1  0\n  3  3  0 2  0\n  4  4  0 0  1\n  5  5  0 1  1\n  6  6  0 1  1";
         }),
         {{13, 1}},
         {}},
        {"three nodes at one place",
         with([](Mesh& m) {
             m.nodes = "  1  1  0 0  0\n  2  2  0 1  0\n  3  3  0 1  1\n  4  4  0 0  1\n  5  5  0 1  1\n  6  6  0 1  1";
         }),
         {{13, 3}},
         {}},
        {"material 0",
         with([](Mesh& m) { m.elements = "  1  11  0  1  2  5  4\n  2  12  1  2  3  6  5"; }),
         {{14, 1}},
         {}},
        {"material beyond nmats",
         with([](Mesh& m) { m.elements = "  1  11  2  1  2  5  4\n  2  12  2  2  3  6  5"; }),
         {{14, 2}},
         {}},
        {"repeated node in an element",
         with([](Mesh& m) { m.elements = "  1  11  1  1  2  5  2\n  2  12  1  2  3  6  5"; }),
         {{17, 1}, {18, 1}},
         {" check why node   4 never appears"}},
        {"unused node at the origin",
         with([](Mesh& m) {
             m.npoin = 7;
             m.nodes += "\n  7  7  0 0  0";
         }),
         {{13, 1}, {18, 1}},
         {" check why node   7 never appears"}},
        {"unused node elsewhere, restrained twice",
         with([](Mesh& m) {
             m.npoin = 7;
             m.nodes += "\n  7  77  0 5  3";
             m.restraints.push_back("  7   1  0  0  0  0  0   0  0  0  0  0  0");
             m.restraints.push_back("  7   0  1  0  0  0  0   0  0  0  0  0  0");
         }),
         {{18, 1}, {19, 1}, {20, 2}, {24, 1}},
         {" check why node  77 never appears"}},
        {"restraint without a code",
         with([](Mesh& m) {
             m.restraints = {"  1   0  0  0  0  0  0   0  0  0  0  0  0", "  3   0  0  2  0  0  0   0  0  0  0  0  0"};
         }),
         {{23, 1}},
         {}},
    };
    for (const auto& c : cases) {
        const Outcome o = run(c.mesh.text());
        EXPECT_EQ(o.status, parvane::kStatusInput) << c.what;
        std::vector<std::string> want;
        for (const auto& [e, n] : c.errors) {
            want.push_back("");
            want.push_back("");
            want.push_back(" *** diagnosis by check2, error" + fio::fmt_i(e, 3) + "       associated number" +
                           fio::fmt_i(n, 5));
        }
        want.push_back("");
        want.push_back("");
        want.push_back(" now following a listing of post-disaster data cards");
        want.push_back("");
        want.push_back(card("2 1\t5"));
        want.push_back(card("1  0 0 2 1"));
        want.push_back(card("2  0 1 2 0.5"));
        want.push_back(card(""));
        // Everything after the front-width line and its two empty lines.
        std::vector<std::string> after;
        for (std::size_t i = 0; i < o.listing.size(); ++i)
            if (o.listing[i].rfind(" maximum frontwidth encountered =", 0) == 0)
                after.assign(o.listing.begin() + static_cast<long>(i) + 3, o.listing.end());
        EXPECT_EQ(after, want) << c.what;
        // The "check why node" lines reach both files, each after an empty line;
        // the diagnoses of check2 reach the listing only.
        std::vector<std::string> why;
        for (const auto& w : c.why_nodes) {
            why.push_back("");
            why.push_back(w);
        }
        EXPECT_EQ(o.messages, why) << c.what;
        for (const auto& w : c.why_nodes) {
            const auto it = std::find(o.listing.begin(), o.listing.end(), w);
            ASSERT_NE(it, o.listing.end()) << c.what;
            EXPECT_EQ(*(it - 1), "") << c.what;
        }
    }
}

// Material values rejected before check2: the front width is listed all the
// same, the status stays 5 and no data cards follow (check2 found nothing).
TEST(Check2, FrontWidthIsListedAfterRejectedMaterialValues) {
    Mesh m;
    m.materials = " 1\t1  1000  0.2  0";
    const Outcome o = run(m.text());
    EXPECT_EQ(o.status, parvane::kStatusInput);
    EXPECT_EQ(tail_from(o.listing, " maximum frontwidth encountered =   24"),
              (std::vector<std::string>{" maximum frontwidth encountered =   24", "", ""}));
    ASSERT_EQ(o.messages.size(), 1u);
    EXPECT_EQ(o.messages[0].rfind(" *** error in material     1: ", 0), 0u) << o.messages[0];
}

// Entries that the reader refuses before check2 sees them: check2 on a state
// filled by hand.
TEST(Check2, ConnectivityAndRestraintEntriesOutOfRange) {
    ScratchDir dir("check2direct");
    write_text(dir.file("empty.sin"), "");
    RunState st;
    open_units(st, dir.file("empty.sin"), dir);
    st.npoin = 4;
    st.nelem = 2;
    st.nnode = 4;
    st.nmats = 1;
    st.nvfix = 3;
    parvane::set_fixed_values(st);
    int status = 0;
    parvane::allocate_work_arrays(st, status);
    ASSERT_EQ(status, 0);
    const int conn[2][4] = {{1, 2, 0, 4}, {1, 2, 9, -3}};
    for (int e = 1; e <= 2; ++e) {
        st.element_material(e) = 1;
        for (int a = 1; a <= 4; ++a) st.lnods(a, e) = conn[e - 1][a - 1];
    }
    for (int p = 1; p <= 4; ++p) {
        st.node_ids(p) = p;
        st.coord(2, p) = p;
    }
    const int fix[3] = {1, 0, 5};
    for (int i = 1; i <= 3; ++i) {
        st.fixnod(i) = fix[i - 1];
        st.fixcod(1, i) = 1;
    }
    status = -1;
    parvane::check2(st, status);
    EXPECT_EQ(status, parvane::kStatusInput);
    EXPECT_EQ(st.check_errors[15], 1);
    EXPECT_EQ(st.check_errors[16], 2);
    EXPECT_EQ(st.check_errors[18], 1);  // node 3
    EXPECT_EQ(st.check_errors[19], 1);
    EXPECT_EQ(st.check_errors[22], 2);
    // The connectivity keeps its entries: no marks are left behind.
    for (int e = 1; e <= 2; ++e)
        for (int a = 1; a <= 4; ++a) EXPECT_EQ(st.lnods(a, e), conn[e - 1][a - 1]);
}

TEST(Check2, FrontWidthFollowsFirstAndLastAppearance) {
    struct Case {
        const char* what;
        int npoin, nelem;
        std::vector<int> conn;  // 4 per element
        int width;
    };
    const Case cases[] = {
        {"single element", 4, 1, {1, 2, 3, 4}, 24},
        {"strip of three", 8, 3, {1, 2, 6, 5, 2, 3, 7, 6, 3, 4, 8, 7}, 24},
        // Node 1 is held by the first and the last element: it stays in the
        // front all along.
        {"node held first and last", 10, 3, {1, 2, 3, 4, 5, 6, 7, 8, 1, 9, 10, 5}, 30},
    };
    for (const auto& c : cases) {
        RunState st;
        st.npoin = c.npoin;
        st.nelem = c.nelem;
        st.nnode = 4;
        parvane::set_fixed_values(st);
        st.lnods.allocate(4, c.nelem);
        for (std::size_t i = 0; i < c.conn.size(); ++i) st.lnods.vec()[i] = c.conn[i];
        EXPECT_EQ(parvane::front_width(st), c.width) << c.what;
    }
}

}  // namespace
