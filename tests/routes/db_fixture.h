// Route and POI databases on real SQLite volumes in a temporary VEXA folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "util/diagnostic_text.h"
#include "geo/grid_context.h"
#include "platform/linux/sqlite_db_store.h"
#include "platform/paths.h"
#include "platform/testing/scripted_ui.h"
#include "routes/db_primitives.h"
#include "routes/route_table.h"
#include "tests/support/temp_dir.h"
#include "util/text.h"

namespace vexa {

struct DbFixture : ::testing::Test {
    testing::TempDir dir;
    testing::ScopedEnv home{"VEXA_HOME", dir.path().c_str()};
    SqliteDbStore store;
    DiagnosticText log;
    ScriptedUi ui;
    DbContext db{store, log, ui};
    GridContext grid;  // UTM zone 32, WGS84

    DbFixture() { std::filesystem::create_directories(vexaDir()); }

    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& m : ui.messages()) out.push_back(m.text);
        return out;
    }
    // The records of a database, as texts.
    std::vector<std::vector<std::string>> records(const std::filesystem::path& volume, std::string_view name) {
        std::vector<std::vector<std::string>> out;
        auto v = store.mount(volume, MountMode::OpenExisting).volume;
        if (!v) return out;
        const auto database = v->find(name);
        if (!database) return out;
        auto cursor = v->read(*database);
        while (auto r = cursor->next()) out.push_back(r->texts);
        return out;
    }
};

}  // namespace vexa
