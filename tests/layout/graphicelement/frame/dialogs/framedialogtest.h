// Shared pieces of the frame dialogs' tests: a configuration folder of its
// own per test, library files written and read as bytes, and symbols.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/frame/cgis_framesymbollibrary.h"
#include "platform/ui/ui.h"
#include "tests/layout/graphicelement/frame/frametest.h"

namespace md::test {

// Points "GLOBAL_GRAPHICELEMENT_CFG_DIR" at a fresh folder for the test.
class FrameLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "framelibrary" /
           (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "." +
            std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    IGIS_GlobalProperties* globals = GIS_GetGlobalProperties();
    IGIS_Field* field = globals->GetProperty("GLOBAL_GRAPHICELEMENT_CFG_DIR");
    if (field == nullptr) {
      field = GIS_CreateFieldObject();
      field->SetName("GLOBAL_GRAPHICELEMENT_CFG_DIR");
      field->SetType(GIS_FIELD_TYPE_STRING);
      ASSERT_TRUE(globals->AddProperty(field));
    }
    field->SetString(dir_.string().c_str());
    md::ui::ClearMessageBoxLog();
    md::ui::ClearDriverErrors();
  }
  void TearDown() override {
    EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front();
    std::filesystem::remove_all(dir_);
  }

  std::string Path(int mode) { return CGIS_FrameSymbolLibrary::PathForMode(mode); }
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // A library file of fields (name, bytes): a field holds a symbol's bytes or
  // anything else.
  static std::string LibraryBytes(const std::vector<std::pair<std::string, std::vector<BYTE>>>& fields) {
    md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
    for (std::size_t i = 0; i < fields.size(); ++i) {
      IGIS_Field* f =
          set->AddProperty(std::to_string(i).c_str(), fields[i].first.c_str(), GIS_FIELD_TYPE_BUFFER, 1);
      IGIS_DataBuffer* b = f->GetDataBuffer();
      b->SetSize(static_cast<int>(fields[i].second.size()));
      if (!fields[i].second.empty())
        std::memcpy(b->GetData(), fields[i].second.data(), fields[i].second.size());
    }
    md::basilo::ReleasePtr<IGIS_DataBuffer> out(GIS_CreateDataBufferObject(0));
    set->Archive(out.get(), GIS_ARCHIVE_WRITE, 0);
    return std::string(reinterpret_cast<const char*>(out->GetData()),
                       static_cast<std::size_t>(out->GetSize()));
  }
  // The (description, bytes) of every field a library file holds.
  static std::vector<std::pair<std::string, std::vector<BYTE>>> Fields(const std::string& path) {
    std::vector<std::pair<std::string, std::vector<BYTE>>> out;
    const std::string bytes = ReadAll(path);
    md::basilo::ReleasePtr<IGIS_DataBuffer> in(GIS_CreateDataBufferObject(static_cast<int>(bytes.size())));
    if (!bytes.empty()) std::memcpy(in->GetData(), bytes.data(), bytes.size());
    md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
    EXPECT_TRUE(set->Archive(in.get(), GIS_ARCHIVE_READ, 0));
    for (IGIS_Field* f = set->GetFirstPosition(); f != nullptr; f = set->GetNext(f)) {
      IGIS_DataBuffer* b = f->GetDataBuffer();
      std::vector<BYTE> v;
      if (b != nullptr && b->GetData() != nullptr) v.assign(b->GetData(), b->GetData() + b->GetSize());
      out.emplace_back(f->GetDescription() != nullptr ? f->GetDescription() : "", v);
    }
    return out;
  }
  std::vector<std::string> TempFiles() {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) {
      if (e.path().filename().string().find(".tmp.") != std::string::npos) out.push_back(e.path().string());
    }
    return out;
  }

  std::filesystem::path dir_;
};

}  // namespace md::test
