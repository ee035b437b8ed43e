// zel_OpenSolution: finds the solution file, checks it against the mesh and scatters every
// "SolAt" and "HOSolAt" keyword into records at the front of their kind's list.
#include "meshio/solution_loading.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/keyword_file.h"
#include "meshio/loader_files.h"
#include "meshio/status.h"
#include "meshio/zel_object_slots.h"

namespace {

using FileHandle = zel::KeywordFileHandle;
using zel::LoadProblems;

// Keyword codes per shape (edge, triangle, quadrilateral, tetrahedron, pyramid, prism,
// hexahedron, the SolTyp shape order): the per-element keyword and the high-order ones.
constexpr int kSolAt[7] = {63, 64, 65, 66, 26, 67, 68};
constexpr int kShapes = 7;
int hoSolAtKeyword(int shape, int degree) {
  return degree <= 3 ? 104 + 3 * shape + degree - 1 : 156 + shape;
}
int nodesPositionsKeyword(int shape, int degree) { return 163 + 4 * shape + degree - 1; }

// Name of a keyword as the count messages spell it: "SolAt..." -> "solAt...",
// "HOSolAt..." -> "HosolAt...".
std::string messageName(int keyword) {
  std::string name = zel::kKeywordTable[keyword].name;
  if (name.rfind("HOSol", 0) == 0) return "Hosol" + name.substr(5);
  name[0] = 's';
  return name;
}

// Opens the solution file (see zel_OpenSolution). On failure writes the could-not-open
// message, followed on its own indented line by the reason when a candidate exists but is no
// readable solution file.
FileHandle openSolutionFile(const char* solName, std::string* opened, char* status) {
  std::string base = solName;
  const size_t mesh = base.find(".mesh");
  if (mesh != std::string::npos) base.erase(mesh);
  std::vector<std::string> candidates = {base};
  if (base.find(".sol") == std::string::npos) {
    candidates.push_back(base + ".solb");
    candidates.push_back(base + ".sol");
  }
  std::string reason;
  FileHandle file = zel::openFirstCandidate(candidates, zel::kFileSolution, opened, &reason);
  if (file) return file;
  // A name without ".sol" that exists is no solution file: only the message is given.
  if (base.find(".sol") == std::string::npos && reason.rfind(base + ":", 0) == 0) reason.clear();
  const std::string why = reason.empty() ? "" : "  " + reason + "\n";
  zel::setStatus(status, "Cannot open solution file %s.[sol[b]]\n%s", base.c_str(), why.c_str());
  return nullptr;
}

// One record per type of a keyword, values zeroed, not yet linked to a list.
struct NewFields {
  std::vector<ZelSolution*> records;
  ~NewFields() {
    for (ZelSolution* record : records) {
      if (record) std::free(record->val);
      std::free(record);
    }
  }
};

bool makeRecords(const zel::KeywordRecord& kwd, int dim, int count, double time, int iteration,
                 NewFields* fields) {
  for (int typ : kwd.solutionTypes) {
    auto* record = static_cast<ZelSolution*>(std::calloc(1, sizeof(ZelSolution)));
    fields->records.push_back(record);
    if (!record) return false;
    const int size = zel::solutionSizeOf(&typ, 1, dim);
    *record = {1,         dim,        count,     typ,  nullptr, nullptr,
               iteration, kwd.degree, kwd.nodes, time, nullptr};
    const size_t doubles = (static_cast<size_t>(count) + 1) * kwd.nodes * size;
    record->val = static_cast<double*>(zel::allocateMeshArray(doubles * sizeof(double)));
    if (!record->val) return false;
    std::memset(record->val, 0, static_cast<size_t>(kwd.nodes) * size * sizeof(double));
  }
  return true;
}

// Reads the lines into the records. A single type has the file's line layout and is read in
// place; several types go through a bounded buffer and are scattered node by node, type by type.
bool readRecords(zel::KeywordFile* file, int keyword, int count, NewFields* fields) {
  const zel::KeywordRecord& kwd = file->keywords[keyword];
  const int perLine = kwd.solutionSize * kwd.nodes;
  if (count == 0) return true;
  if (fields->records.size() == 1) {
    double* val = fields->records[0]->val;
    zel::BlockField field{zel::kFieldReal64Vector, val + perLine,
                          val + static_cast<size_t>(count) * perLine, perLine};
    return zel::getBlock(file, keyword, 1, count, &field, 1) == 1;
  }
  constexpr int kChunk = 10000;
  std::vector<double> buffer;
  for (int first = 1; first <= count; first += kChunk) {
    const int last = std::min(count, first + kChunk - 1);
    buffer.resize(static_cast<size_t>(last - first + 1) * perLine);
    zel::BlockField field{zel::kFieldReal64Vector, &buffer[0],
                          &buffer[static_cast<size_t>(last - first) * perLine], perLine};
    if (zel::getBlock(file, keyword, first, last, &field, 1) != 1) return false;
    const double* in = buffer.data();
    for (int entity = first; entity <= last; ++entity) {
      for (int node = 0; node < kwd.nodes; ++node) {
        for (ZelSolution* record : fields->records) {
          const int size = zel::solutionSizeOf(&record->typ, 1, record->dim);
          double* out = record->val + (static_cast<size_t>(entity) * kwd.nodes + node) * size;
          std::copy(in, in + size, out);
          in += size;
        }
      }
    }
  }
  return true;
}

// Checks and reads one keyword if the file holds it, then puts its records at the front of
// the list in the file's type order.
// A failed check sets the status and returns false; a block that cannot be read is reported
// to problems and its fields are not attached.
bool readKeyword(ZelObject* object, zel::KeywordFile* file, int keyword, int count,
                 ZelSolution** list, double time, int iteration, char* status,
                 LoadProblems* problems, bool* fieldsRead) {
  const zel::KeywordRecord& kwd = file->keywords[keyword];
  if (kwd.kind != zel::kKwdSolution) return true;
  if (kwd.lineCount != count)
    return zel::setStatus(status, "Invalid number of solution  %lld should be %d for %s \n",
                          static_cast<long long>(kwd.lineCount), count,
                          messageName(keyword).c_str()),
           false;
  int size = 0;
  for (int typ : kwd.solutionTypes) size += std::max(0, zel::solutionSizeOf(&typ, 1, object->dim));
  if (size * kwd.nodes != kwd.solutionSize * kwd.nodes || size == 0)
    return zel::setStatus(
               status, "Invalid size of solution for Type %s : %d and it should be %d \n",
               zel::kKeywordTable[keyword].name, size * kwd.nodes, kwd.solutionSize * kwd.nodes),
           false;
  NewFields fields;
  if (!makeRecords(kwd, object->dim, count, time, iteration, &fields))
    return zel::setStatus(status, "Allocation failed for %s, size %lg Mb\n",
                          zel::kKeywordTable[keyword].name,
                          (count + 1.0) * size * kwd.nodes * 8.0 / 1048576.0),
           false;
  if (!readRecords(file, keyword, count, &fields)) {
    problems->add(file->error + "; keyword ignored");  // the other keywords are still read
    return true;
  }
  *fieldsRead = true;
  fields.records.back()->next = *list;
  for (size_t t = 0; t + 1 < fields.records.size(); ++t)
    fields.records[t]->next = fields.records[t + 1];
  *list = fields.records.front();
  fields.records.clear();
  return true;
}

// The NodesPositions keyword that may follow a high-order keyword: its line count must be the
// node count; the positions themselves are not used (default node positions always hold).
bool checkNodesPositions(zel::KeywordFile* file, int hoKeyword, int posKeyword, char* status) {
  const zel::KeywordRecord& ho = file->keywords[hoKeyword];
  const zel::KeywordRecord& pos = file->keywords[posKeyword];
  if (ho.kind != zel::kKwdSolution || pos.kind == zel::kKwdAbsent) return true;
  if (pos.lineCount != ho.nodes)
    return zel::setStatus(status,
                          "Invalid number of solution reference nodes  %lld should be %d for "
                          "%sNodesPositions \n",
                          static_cast<long long>(pos.lineCount), ho.nodes,
                          messageName(hoKeyword).c_str()),
           false;
  zel::printMessage("HO solution Nodes positions conversion not supported as F77 \n");
  return true;
}

// "Time" and "Iterations", 0 when absent or unreadable (reported to problems).
void readTimeAndIterations(zel::KeywordFile* file, double* time, int* iteration,
                           LoadProblems* problems) {
  *time = 0;
  *iteration = 0;
  zel::BlockField timeField{zel::kFieldReal64, time, time};
  zel::BlockField iterField{zel::kFieldInt32, iteration, iteration};
  if (file->keywords[zel::Kwd::Time].kind != zel::kKwdAbsent &&
      !zel::getBlock(file, zel::Kwd::Time, 1, 1, &timeField, 1)) {
    *time = 0;
    problems->add(file->error + "; time 0 used");
  }
  if (file->keywords[zel::Kwd::Iterations].kind != zel::kKwdAbsent &&
      !zel::getBlock(file, zel::Kwd::Iterations, 1, 1, &iterField, 1)) {
    *iteration = 0;
    problems->add(file->error + "; iteration 0 used");
  }
}

}  // namespace

int zel_OpenSolution(ZelObject* object, const char* solName, char* status) {
  if (!status) return zel::kFailure;
  if (!object) return zel::setStatus(status, "NULL (ZelObject) parameter on input\n");
  if (!solName) return zel::setStatus(status, "NULL (Solution Name) parameter on input\n");
  std::string opened;
  FileHandle file = openSolutionFile(solName, &opened, status);
  if (!file) return zel::kFailure;
  zel::echoStatus(status, opened.c_str());
  if (file->dimension != object->dim)
    return zel::setStatus(status, "Invalid solution dimension %d should be %d \n", file->dimension,
                          object->dim);
  LoadProblems problems(file.get());
  double time = 0;
  int iteration = 0;
  readTimeAndIterations(file.get(), &time, &iteration, &problems);
  bool fieldsRead = false;
  if (!readKeyword(object, file.get(), zel::Kwd::SolAtVertices, zel::vertexCount(object),
                   &object->vertexSolutions, time, iteration, status, &problems, &fieldsRead))
    return zel::kFailure;
  for (int shape = 0; shape < kShapes; ++shape) {
    for (int degree = 0; degree <= 4; ++degree) {
      // Degree 0 stands for the "SolAt" keyword, carried by the linear kind.
      zel::EntitySlot slot;
      zel::entitySlot(object, zel_SolTyp2EntTyp(SolTyp::First + shape, std::max(degree, 1)), &slot);
      const int keyword = degree == 0 ? kSolAt[shape] : hoSolAtKeyword(shape, degree);
      if (!readKeyword(object, file.get(), keyword, *slot.count, slot.solutions, time, iteration,
                       status, &problems, &fieldsRead) ||
          (degree > 0 &&
           !checkNodesPositions(file.get(), keyword, nodesPositionsKeyword(shape, degree), status)))
        return zel::kFailure;
    }
  }
  // What reads is kept; a file of which no field could be read fails.
  if (!fieldsRead && !problems.empty()) return problems.fail(status);
  return zel::kSuccess;
}
