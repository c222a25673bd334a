#include "audio/RecordControl.h"

#include <gtest/gtest.h>

// One button starts, pauses and resumes: a wrong step would end a recording
// the user meant to pause, or start a second one over it.
TEST(RecordControl, TheRecordButtonCyclesStartPauseResume) {
    EXPECT_EQ(RecordButtonActionFor(rsNormal), RecordButtonAction::Start);
    EXPECT_EQ(RecordButtonActionFor(rsRecordStoped), RecordButtonAction::Start);
    EXPECT_EQ(RecordButtonActionFor(rsRecording), RecordButtonAction::Pause);
    EXPECT_EQ(RecordButtonActionFor(rsRecordPause), RecordButtonAction::Resume);
    for (TCurrentAppState s : {rsPlayFile, rsPausePlay, rsStopPlay})
        EXPECT_EQ(RecordButtonActionFor(s), RecordButtonAction::None);

    EXPECT_TRUE(RecordingInProgress(rsRecording));
    EXPECT_TRUE(RecordingInProgress(rsRecordPause)) << "a paused recording is stopped too";
    for (TCurrentAppState s : {rsNormal, rsRecordStoped, rsPlayFile, rsPausePlay, rsStopPlay})
        EXPECT_FALSE(RecordingInProgress(s));
}
