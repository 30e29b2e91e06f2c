// The window's records kept in the user's folder: made with the folders they go in, never
// over another, and only the newest kept.

#include "batch/kept_records.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

TEST(KeptRecords, makesANewRecordAndKeepsOnlyTheNewest)
{
    using vuelco::batch::kKeptRecords;
    const TempFolder state;
    const std::filesystem::path folder = state / "vuelco" / "registros";
    makeFolders(folder);
    for (std::size_t i = 0; i < kKeptRecords; ++i)
        writeFile(folder / ("registro-2000-01-01_00-00-" + std::to_string(10 + i) + ".json"), {});
    writeFile(folder / "notas.txt", {});

    vuelco::batch::RecordFile first;
    vuelco::batch::RecordFile second;
    EXPECT_EQ(createKeptRecord(first, folder, "2026-12-09_03-00-00"), folder / "registro-2026-12-09_03-00-00.json");
    EXPECT_EQ(createKeptRecord(second, folder, "2026-12-09_03-00-00"), folder / "registro-2026-12-09_03-00-00_2.json");
    first.write("{}\n");
    EXPECT_EQ(readAll(folder / "registro-2026-12-09_03-00-00.json"), Bytes({'{', '}', '\n'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), kKeptRecords + 1);
    EXPECT_FALSE(isThere(folder / "registro-2000-01-01_00-00-10.json"));
    EXPECT_FALSE(isThere(folder / "registro-2000-01-01_00-00-11.json"));
    EXPECT_TRUE(isThere(folder / "registro-2000-01-01_00-00-12.json"));
    EXPECT_TRUE(isThere(folder / "notas.txt"));

    vuelco::batch::RecordFile fresh;
    EXPECT_EQ(createKeptRecord(fresh, state / "nuevo" / "registros", "x"), state / "nuevo" / "registros" / "registro-x.json");
}
