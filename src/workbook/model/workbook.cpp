#include "workbook/workbook.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <set>
#include <iterator>

#include "workbook/package_parts.h"
#include "workbook/workbook_error.h"
#include "workbook/xlsx/xlsx_reader.h"
#include "workbook/xlsx/xlsx_writer.h"
#include "workbook/model/xml_access.h"
#include "workbook/xls/xls_pictures_to_xlsx.h"
#include "workbook/xls/xls_reader.h"
#include "workbook/xls/xls_writer.h"
#include "workbook/xls/xls_source.h"
#include "workbook/zip/zip_package.h"

namespace vemo::wb {

namespace {
std::string LowerExtension(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

enum class Container { Zip, Compound, OldBinary, Other };

// The container is told by the first bytes, never by the file name.
Container ContainerOf(const std::filesystem::path& path, std::string& oldVersion) {
  std::ifstream in(path, std::ios::binary);
  unsigned char head[8] = {};
  in.read(reinterpret_cast<char*>(head), sizeof head);
  const unsigned char ole[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (in.gcount() == 8 && std::equal(head, head + 8, ole)) return Container::Compound;
  if (in.gcount() >= 4 && head[0] == 'P' && head[1] == 'K') return Container::Zip;
  // Workbooks of Excel 2.x to 4.0 are a bare record stream starting with BOF.
  if (in.gcount() >= 4 && head[0] == 0x09 && (head[1] == 0x00 || head[1] == 0x02 || head[1] == 0x04)) {
    oldVersion = head[1] == 0x00 ? "BIFF2 (Excel 2.x)" : head[1] == 0x02 ? "BIFF3 (Excel 3.0)" : "BIFF4 (Excel 4.0)";
    return Container::OldBinary;
  }
  return Container::Other;
}
}  // namespace

Workbook::Workbook() : package_(std::make_unique<ZipPackage>()), stylesDoc_(std::make_unique<XmlDocument>()) {}
Workbook::~Workbook() = default;

std::unique_ptr<Workbook> Workbook::Open(const std::filesystem::path& path) { return Open(path, ZipLimits{}); }

std::unique_ptr<Workbook> Workbook::Open(const std::filesystem::path& path, const ZipLimits& limits) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    throw WorkbookError("cannot open " + path.string() + ": no such file");
  std::string ext = LowerExtension(path);
  std::string oldVersion;
  const Container container = ContainerOf(path, oldVersion);
  if (container == Container::OldBinary)
    throw WorkbookError("cannot open " + path.string() + ": it is a " + oldVersion +
                        " workbook; only Excel 97-2003 (.xls) and newer are read, save it in a newer format first");
  if (container == Container::Other && (ext == ".xls" || ext == ".xlt"))
    throw WorkbookError("cannot open " + path.string() +
                        ": it is neither an .xls nor an .xlsx workbook (the file is damaged or of another kind)");
  if (container == Container::Compound) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    if (bytes.size() > limits.maxFileSize)
      throw WorkbookError("cannot open " + path.string() + ": the file is larger than " +
                          std::to_string(limits.maxFileSize >> 20) + " MiB");
    std::unique_ptr<Workbook> book(new Workbook());
    XlsReader(*book).Read(bytes, path.string());
    return book;
  }
  if (ext == ".xlsb")
    throw WorkbookError("cannot open " + path.string() + ": binary .xlsb workbooks are not supported; save it as .xlsx");

  std::unique_ptr<Workbook> book(new Workbook());
  *book->package_ = ZipPackage::ReadFile(path, limits);
  XlsxReader(*book).Read();
  return book;
}

void Workbook::Save(const std::filesystem::path& path, std::optional<Format> format) {
  if (!format) format = LowerExtension(path) == ".xls" ? Format::Xls : Format::Xlsx;
  if (*format == Format::Xls) {
    XlsWriter(*this).Write(path);
    return;
  }
  // The pictures of an .xls workbook go into this write only: the records
  // stay what the workbook holds, for later edits and an .xls save.
  std::optional<XlsxPicturesOfXls> pictures;
  if (xlsSource_) pictures.emplace(*this, *xlsSource_);
  std::set<std::string> left = XlsOnlyContent(*this);
  if (pictures) left.insert(pictures->leftOut().begin(), pictures->leftOut().end());
  if (!left.empty()) {
    std::string list;
    for (const std::string& what : left) list += (list.empty() ? "" : ", ") + what;
    std::cerr << "warning: saving " << path.string() << " as .xlsx leaves out what the .xls workbook holds "
              << "that is not carried across yet: " << list << "; save as .xls to keep them\n";
  }
  XlsxWriter writer(*this);
  writer.PutParts();
  if (pictures) pictures->PutParts(*package_);
  package_->WriteFile(path);
}

Sheet* Workbook::FindSheet(std::string_view name) {
  auto same = [&](const std::string& other) {
    return other.size() == name.size() && std::equal(other.begin(), other.end(), name.begin(), [](char a, char b) {
             return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
  };
  for (auto& sheet : sheets_)
    if (same(sheet->name())) return sheet.get();
  return nullptr;
}

std::optional<std::size_t> Workbook::SheetIndex(const Sheet& sheet) const {
  for (std::size_t i = 0; i < sheets_.size(); ++i)
    if (sheets_[i].get() == &sheet) return i;
  return std::nullopt;
}

std::vector<DefinedName> Workbook::DefinedNames() const {
  std::vector<DefinedName> names;
  auto it = xmlParts_.find(workbookPart_);
  if (it == xmlParts_.end()) return names;
  pugi::xml_node list = FirstChild(it->second.doc->document_element(), "definedNames");
  for (pugi::xml_node n : list.children()) {
    if (n.type() != pugi::node_element || LocalName(n) != "definedName") continue;
    DefinedName name;
    name.name = n.attribute("name").value();
    name.localSheetId = n.attribute("localSheetId") ? n.attribute("localSheetId").as_int(-1) : -1;
    name.hidden = ParseXmlBool(n.attribute("hidden").value());
    name.text = n.text().get();
    name.element = ElementOf(n);
    names.push_back(std::move(name));
  }
  return names;
}

void Workbook::SetDefinedNameText(const DefinedName& name, std::string_view text) {
  EditXmlPart(*this, workbookPart_);
  NodeOf(name.element).text().set(std::string(text).c_str());
}

bool Workbook::HasPart(std::string_view name) const {
  if (std::find(removedParts_.begin(), removedParts_.end(), name) != removedParts_.end()) return false;
  return package_->Has(name);
}

XmlDocument& ReadXmlPart(Workbook& book, const std::string& name) {
  auto it = book.xmlParts_.find(name);
  if (it != book.xmlParts_.end()) return *it->second.doc;
  Workbook::XmlPart part;
  part.doc = std::make_unique<XmlDocument>();
  if (const ZipPackage::Entry* entry = book.HasPart(name) ? book.package_->Find(name) : nullptr)
    ParseXmlPart(*part.doc, entry->data(), name);
  return *book.xmlParts_.emplace(name, std::move(part)).first->second.doc;
}

XmlDocument& EditXmlPart(Workbook& book, const std::string& name) {
  XmlDocument& doc = ReadXmlPart(book, name);
  book.xmlParts_[name].edited = true;
  std::erase(book.removedParts_, name);
  return doc;
}

std::string Workbook::RelsPartName(const std::string& partName) {
  auto slash = partName.rfind('/');
  if (slash == std::string::npos) return "_rels/" + partName + ".rels";
  return partName.substr(0, slash) + "/_rels/" + partName.substr(slash + 1) + ".rels";
}

std::vector<Relationship> Workbook::RelationshipsOf(const std::string& partName) {
  std::vector<Relationship> rels;
  std::string relsName = RelsPartName(partName);
  if (!HasPart(relsName) && !xmlParts_.count(relsName)) return rels;
  pugi::xml_node root = ReadXmlPart(*this, relsName).document_element();
  for (pugi::xml_node r : root.children()) {
    if (r.type() != pugi::node_element || LocalName(r) != "Relationship") continue;
    Relationship rel;
    rel.id = r.attribute("Id").value();
    rel.type = r.attribute("Type").value();
    rel.external = std::string_view(r.attribute("TargetMode").value()) == "External";
    rel.target = rel.external ? r.attribute("Target").value() : ResolveTarget(partName, r.attribute("Target").value());
    rels.push_back(std::move(rel));
  }
  return rels;
}

void Workbook::RemovePart(const std::string& name) {
  if (std::find(removedParts_.begin(), removedParts_.end(), name) == removedParts_.end())
    removedParts_.push_back(name);
  if (auto it = xmlParts_.find(name); it != xmlParts_.end()) it->second.edited = false;
  RemoveContentTypeOverride(*this, name);
  std::string rels = RelsPartName(name);
  if (package_->Has(rels) && std::find(removedParts_.begin(), removedParts_.end(), rels) == removedParts_.end()) {
    removedParts_.push_back(rels);
    if (auto it = xmlParts_.find(rels); it != xmlParts_.end()) it->second.edited = false;
  }
}

std::string Workbook::ReadRawPart(const std::string& name) const {
  const ZipPackage::Entry* entry = HasPart(name) ? package_->Find(name) : nullptr;
  return entry ? entry->data() : std::string();
}

void Workbook::PutRawPart(const std::string& name, std::string bytes) { package_->Put(name, std::move(bytes)); }

std::vector<std::string> Workbook::PartNames() const {
  std::vector<std::string> names;
  for (const ZipPackage::Entry& entry : package_->entries())
    if (HasPart(entry.name)) names.push_back(entry.name);
  return names;
}

}  // namespace vemo::wb
