// Tests of the handle holders: both empty values of a file handle, giving a handle up, moves that free what
// they replace, and selections put back when they end.
#include "runtime/win_handles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Opening the file for writing with no sharing fails while another handle to it is open.
bool OpenElsewhere(const std::string& path) {
    FileHandle other(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return static_cast<bool>(other);
}

TEST(FileHandle, BothEmptyValuesHoldNothingAndAnOpenFileIsClosed) {
    EXPECT_FALSE(FileHandle());
    EXPECT_FALSE(FileHandle(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(FileHandle(CreateFileA("C:\\no such folder\\x", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                        nullptr)));

    const std::string path = testing::TempDir() + "win_handles_test.txt";
    {
        FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        EXPECT_FALSE(OpenElsewhere(path));
    }
    EXPECT_TRUE(OpenElsewhere(path));

    // Given up, the handle stays open until its new owner closes it.
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    HANDLE released = file.Release();
    EXPECT_FALSE(file);
    file.Reset();
    EXPECT_FALSE(OpenElsewhere(path));
    CloseHandle(released);
    EXPECT_TRUE(OpenElsewhere(path));
    DeleteFileA(path.c_str());
}

TEST(GdiObject, AssigningOverAHolderDeletesWhatItHeld) {
    BrushHandle first(CreateSolidBrush(RGB(1, 2, 3)));
    BrushHandle second(CreateSolidBrush(RGB(4, 5, 6)));
    const HBRUSH replaced = first.get(), kept = second.get();
    first = std::move(second);
    EXPECT_EQ(first.get(), kept);
    EXPECT_FALSE(second);
    EXPECT_EQ(GetObjectType(replaced), 0u);  // deleted
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BRUSH));
}

TEST(Selection, PutsBackWhatItReplaced) {
    WindowDc screen(nullptr);
    ASSERT_TRUE(screen);
    MemoryDc dc(CreateCompatibleDC(screen.get()));
    ASSERT_TRUE(dc);
    BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), 4, 4));
    PenHandle pen(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    const HGDIOBJ original_bitmap = GetCurrentObject(dc.get(), OBJ_BITMAP);
    const HGDIOBJ original_pen = GetCurrentObject(dc.get(), OBJ_PEN);
    {
        Selection selected_bitmap(dc.get(), bitmap.get());
        Selection selected_pen(dc.get(), pen.get());
        EXPECT_TRUE(selected_bitmap && selected_pen);
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), pen.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), original_bitmap);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), original_pen);
    // A selection that failed puts nothing back.
    Selection failed(dc.get(), nullptr);
    EXPECT_FALSE(failed);
}

}  // namespace
