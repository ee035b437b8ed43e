// writeMesh: every entity kind of a ZelObject through the keyword writer.
#include "meshio/entity_catalogue.h"
#include "meshio/keyword_table.h"
#include "meshio/keyword_writer.h"
#include "meshio/mesh_keywords.h"
#include "meshio/zel_object.h"

namespace zel {

namespace {

// Writes one element kind; with reversed orders, file position j holds default node n-1-j
// and the ordering keyword lists the default rows in reverse.
bool writeKind(KeywordWriter* writer, ZelObject* object, const KindToLoad& kind, bool reverse) {
  char status[zel::kStatusSize];
  int count = 0, nodes = 0;
  const int* indices =
      static_cast<const int*>(zel_GetIndicesArray(object, kind.typ, &count, &nodes, status));
  const int* refs = zel_GetReferenceArray(object, kind.typ, status);
  if (count <= 0) return true;
  const int ordering = orderingKeywordOf(kind.keyword);
  reverse = reverse && ordering && zel_Typ2Deg(kind.typ) >= 2;
  if (reverse) {
    int width = 0;
    const int* rows = zel_Typ2Ordering(kind.typ, &nodes, &width);
    writer->beginKeyword(ordering, nodes);
    for (int j = nodes - 1; j >= 0; --j)
      for (int k = 0; k < width; ++k) writer->integer(rows[j * width + k]);
  }
  writer->beginKeyword(kind.keyword, count);
  for (int e = 1; e <= count; ++e) {
    for (int j = 0; j < nodes; ++j)
      writer->integer(indices[e * nodes + (reverse ? nodes - 1 - j : j)]);
    if (kind.typ != EntityType::Corner) writer->integer(refs[e]);
  }
  return writer->error().empty();
}

}  // namespace

bool writeMesh(ZelObject* object, const std::string& path, const KeywordWriteFormat& format,
               std::string* error) {
  KeywordWriter writer;
  if (!object || object->dim < 2 || object->dim > 3) {
    if (error) *error = "no mesh to write";
    return false;
  }
  writer.open(path, format, object->dim);
  char status[zel::kStatusSize];
  int count = 0, nodes = 0;
  const double* crd = static_cast<const double*>(
      zel_GetIndicesArray(object, EntityType::Vertex, &count, &nodes, status));
  const int* refs = zel_GetReferenceArray(object, EntityType::Vertex, status);
  if (count > 0) {
    writer.beginKeyword(Kwd::Vertices, count);
    for (int v = 1; v <= count; ++v) {
      for (int k = 0; k < object->dim; ++k) writer.real(crd[3 * v + k]);
      writer.integer(refs[v]);
    }
  }
  for (const KindToLoad& kind : kKinds) writeKind(&writer, object, kind, format.reverseNodeOrders);
  const bool written = writer.close();
  if (!written && error) *error = writer.error();
  return written;
}

}  // namespace zel
