#pragma once
// Table blocks of the model keyword file (also the block syntax of the mesh
// keyword text). The caller writes or reads the block keyword line; a writer
// then writes the rows and the line "END_<keyword>", a reader reads the rows
// and checks that line.
//
// Writers return 0 (the stream's state tells whether the writes succeeded).
// Readers fill a table that the caller has just created and return 0 when the
// block ended with its END line, 1 otherwise. After a failed read the table
// holds the rows read up to the failure, counted and indexed.

#include <istream>
#include <ostream>
#include <string>

#include "model/DataTable.h"

int WriteNodeBlock(const NodeTable& table, std::ostream& out, const std::string& keyword);
int WriteElementBlock(const ElementTable& table, std::ostream& out, const std::string& keyword);
int WriteMaterialBlock(const MaterialTable& table, std::ostream& out, const std::string& keyword);
int WriteNodalTableBlock(const NodalActionTable& table, std::ostream& out, const std::string& keyword);
int WriteConcentratedTableBlock(const ConcentratedActionTable& table, std::ostream& out, const std::string& keyword);
int WriteEdgeTableBlock(const EdgeActionTable& table, std::ostream& out, const std::string& keyword);
// Each set: "*", its name, its member rows and "END_<set name>"; an empty line
// follows the block's END line.
int WriteSetBlock(const SetTable& table, std::ostream& out, const std::string& keyword, int setKind);
// Member rows of one set and its END line; a null list writes the END line only.
int WriteSetListBlock(const SetMemberList* members, std::ostream& out, const std::string& setName, int setKind);
int WriteCutLineBlock(const CutLineTable& table, std::ostream& out, const std::string& keyword);

int ReadNodeBlock(NodeTable& table, std::istream& in, const std::string& keyword);
// Fails at once for an element type word other than LINEAR4, QUAD8, QUAD9 or
// an integration word other than REDUCED_INTEGRATION, NORMAL_INTEGRATION.
int ReadElementBlock(ElementTable& table, std::istream& in, const std::string& keyword);
// A material type outside 0..4 fails the block.
int ReadMaterialBlock(MaterialTable& table, std::istream& in, const std::string& keyword);
int ReadNodalTableBlock(NodalActionTable& table, std::istream& in, const std::string& keyword, int kindCode);
int ReadConcentratedTableBlock(ConcentratedActionTable& table, std::istream& in, const std::string& keyword,
                               int kindCode);
int ReadEdgeTableBlock(EdgeActionTable& table, std::istream& in, const std::string& keyword, int kindCode);
// A set whose member rows end with a wrong word is still added; a set without
// member rows gets no member list.
int ReadSetBlock(SetTable& table, std::istream& in, const std::string& keyword, int setKind);
int ReadSetListBlock(SetMemberList& members, std::istream& in, const std::string& setName, int setKind);
// A block that does not begin with the header row loses its first word.
int ReadCutLineBlock(CutLineTable& table, std::istream& in, const std::string& keyword);
