// AudioSystem on the sound-library double: the start-up sequence and its fall-backs, the sound table,
// playback argument mapping, volumes and pausing, with every message checked byte for byte.
#include "audio/audio_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/index_writer.h"
#include "report/report.h"
#include "tests/doubles/audio/fake_sound_library.h"
#include "tests/doubles/memory_files.h"

namespace sylvora {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kInstall = "/install/";

class AudioSystemTest : public ::testing::Test {
 protected:
  explicit AudioSystemTest(ReportMode mode = ReportMode::FileLogging)
      : installed_(files), report(static_cast<int>(mode), kInstall) {
    auto fake = std::make_unique<FakeSoundLibrary>();
    library = fake.get();
    calls = fake->calls;
    audio = std::make_unique<AudioSystem>(&report, std::move(fake));
  }

  // The audio messages as "kind function: text" with kind R, W or E.
  std::vector<std::string> Messages() const {
    std::vector<std::string> lines;
    for (int i = 0; i < report.MessageCount(); ++i) {
      const ReportMessage& m = report.Message(i);
      if (m.module != "KALDRA.AUDIO") continue;
      lines.push_back(std::string(1, "RWE"[m.kind]) + " " + m.function + ": " + m.text);
    }
    return lines;
  }
  // Library calls made since the last look.
  std::vector<std::string> NewCalls() {
    std::vector<std::string> fresh(calls->begin() + static_cast<long>(seen_), calls->end());
    seen_ = calls->size();
    return fresh;
  }
  // Creates the object on without an archive and forgets the start-up's calls and messages.
  void StartLoose() {
    ASSERT_EQ(audio->Create(window, 0, 0, kInstall), 0);
    NewCalls();
    firstMessage_ = report.MessageCount();
  }
  std::vector<std::string> MessagesSinceStart() const {
    std::vector<std::string> all = Messages();
    return std::vector<std::string>(all.begin() + firstMessage_, all.end());
  }
  void PutArchive(const std::vector<PackItem>& items) {
    files.Put(std::string(kInstall) + "data.nrx", BuildIndex(items, "sounds.dat"));
    files.Put(std::string(kInstall) + "sounds.dat", BuildDataFile(items));
  }

  MemoryFileSystem files;
  ScopedFileSystem installed_;
  Report report;
  FakeSoundLibrary* library = nullptr;
  std::shared_ptr<FakeSoundLibrary::CallLog> calls;
  std::unique_ptr<AudioSystem> audio;
  NativeWindow* window = reinterpret_cast<NativeWindow*>(&windowStandIn_);

 private:
  int windowStandIn_ = 0;
  size_t seen_ = 0;
  int firstMessage_ = 0;
};

const char* const kInitialised =
    "R Create: sound system was successfully initialized - default device, 22050hz, stereo, 16 bits";

// ---- Create ----

TEST_F(AudioSystemTest, FreshObjectIsOffWithInitialValues) {
  EXPECT_EQ(audio->Enabled(), 0);
  EXPECT_EQ(audio->ThreeD(), 0);
  EXPECT_EQ(audio->Algorithm3D(), 0);
  EXPECT_EQ(audio->SampleVolume(), 100);
  EXPECT_EQ(audio->MusicVolume(), 100);
  EXPECT_EQ(audio->DefaultPan(), 0);
  EXPECT_EQ(audio->MinDistance3D(), 5.0f);
  EXPECT_EQ(audio->MaxDistance3D(), 70.0f);
  EXPECT_EQ(audio->UseArchive(), 0);
  EXPECT_EQ(audio->SoundCount(), 0);
  EXPECT_EQ(audio->ArchiveCount(), 0);
}

TEST_F(AudioSystemTest, CreateSetsUpThreeDListenerStartsAndAppliesVolumes) {
  EXPECT_EQ(audio->Create(window, 0, 1, kInstall), 0);
  EXPECT_THAT(NewCalls(), ElementsAre("Identity", "Init(22050,1)", "Set3DAlgorithm(2)",
                                      "Set3DPosition((0,0,0),null,null,null)", "Set3DFactors(1,1,0)",
                                      "SetReverb(-1,0,-1,-1)", "Apply3D", "Start", "SetGlobalVolumes(100,100,-1)"));
  EXPECT_THAT(Messages(), ElementsAre(kInitialised));
  EXPECT_EQ(audio->Enabled(), 1);
  EXPECT_EQ(audio->ThreeD(), 1);
  EXPECT_EQ(audio->Algorithm3D(), 1);
  EXPECT_EQ(audio->Window(), window);
  EXPECT_EQ(audio->ResourcePath(), kInstall);
}

TEST_F(AudioSystemTest, AlgorithmChoiceOutOfRangeKeepsTheStoredOne) {
  for (const auto& [given, passed, stored] : {std::tuple{0, "Set3DAlgorithm(1)", 0}, {2, "Set3DAlgorithm(3)", 2},
                                              {3, "Set3DAlgorithm(1)", 0}, {-1, "Set3DAlgorithm(1)", 0}}) {
    auto fake = std::make_unique<FakeSoundLibrary>();
    auto log = fake->calls;
    AudioSystem fresh(&report, std::move(fake));
    ASSERT_EQ(fresh.Create(window, 0, given, kInstall), 0);
    EXPECT_EQ((*log)[2], passed) << given;
    EXPECT_EQ(fresh.Algorithm3D(), stored) << given;
  }
}

TEST_F(AudioSystemTest, WrongLibraryIdentityLeavesTheObjectOffButHandingOutIndexes) {
  library->identity = 0x70002;
  EXPECT_EQ(audio->Create(window, 1, 0, kInstall), 1);
  EXPECT_THAT(Messages(), ElementsAre("W Create: BASS version 1.7 was not loaded. Incorrect BASS.DLL"));
  EXPECT_THAT(NewCalls(), ElementsAre("Identity"));
  EXPECT_EQ(audio->Enabled(), 0);

  for (int expected = 0; expected < 3; ++expected) {
    int32_t index = -1;
    EXPECT_EQ(audio->CreateSound("birds" + std::to_string(expected), expected % 2, index), 1);
    EXPECT_EQ(index, expected);
  }
  EXPECT_EQ(audio->PlaySoundEx(0, 50, 0, 22050, 0, 1), 1);
  EXPECT_EQ(audio->PlaySound3D(1, 1, 2, 3, 1), 1);
  EXPECT_EQ(audio->PlaySoundEx(2, 50, 0, 22050, 0, 1), 1);
  EXPECT_THAT(NewCalls(), IsEmpty());
  EXPECT_EQ(Messages().size(), 1u);

  audio.reset();
  EXPECT_THAT(NewCalls(), IsEmpty());  // an object that never came on frees nothing
}

TEST_F(AudioSystemTest, InitFailureOtherThanNo3DSwitchesOff) {
  library->initErrors = {kSoundNoDevice};
  EXPECT_EQ(audio->Create(window, 0, 0, kInstall), 1);
  EXPECT_THAT(Messages(), ElementsAre("W Create: BASS was not initialized, BASS errorcode is 3"));
  EXPECT_THAT(NewCalls(), ElementsAre("Identity", "Init(22050,1)"));
  EXPECT_EQ(audio->Enabled(), 0);
}

TEST_F(AudioSystemTest, NoThreeDFallsBackToPlainOutput) {
  library->initErrors = {kSoundNo3D};
  EXPECT_EQ(audio->Create(window, 0, 2, kInstall), 0);
  EXPECT_THAT(Messages(), ElementsAre("W Create: sound3D was not supported", kInitialised));
  EXPECT_THAT(NewCalls(), ElementsAre("Identity", "Init(22050,1)", "Init(22050,0)", "Start",
                                      "SetGlobalVolumes(100,100,-1)"));
  EXPECT_EQ(audio->Enabled(), 1);
  EXPECT_EQ(audio->ThreeD(), 0);
  EXPECT_EQ(audio->Algorithm3D(), 0);  // the choice is only taken with 3D

  // 3D sounds still load with the 3D flags; the library's answer decides.
  int32_t index = 0;
  EXPECT_EQ(audio->CreateSound("song1", k3DSound, index), 0);
  EXPECT_EQ(NewCalls()[0], "SampleLoad(/install/sounds\\song1.ogg,0,0,3,0x30008)");
  library->loadError3D = kSoundNo3D;
  EXPECT_EQ(audio->CreateSound("song2", k3DSound, index), 1);
  EXPECT_EQ(Messages().back(),
            "W CreateSound: BASS_SampleLoad was failed, BASS errorcode is 21. Sound <song2> was not loaded");
}

TEST_F(AudioSystemTest, NoThreeDAndSecondInitFailing) {
  library->initErrors = {kSoundNo3D, kSoundContextFailed};
  EXPECT_EQ(audio->Create(window, 0, 0, kInstall), 1);
  EXPECT_THAT(Messages(), ElementsAre("W Create: sound3D was not supported",
                                      "W Create: BASS was not initialized, BASS errorcode is 22"));
  EXPECT_EQ(audio->Enabled(), 0);
  EXPECT_EQ(audio->ThreeD(), 0);
}

TEST_F(AudioSystemTest, OutputThatDoesNotStartIsFreedAndOff) {
  library->startFails = true;
  library->failureReason = "Invalid Device";  // the library's own words follow the message
  EXPECT_EQ(audio->Create(window, 0, 0, kInstall), 1);
  EXPECT_THAT(Messages(), ElementsAre("W Create: digital output was not started", "W Create: reason: Invalid Device"));
  const std::vector<std::string> made = NewCalls();
  EXPECT_THAT(std::vector<std::string>(made.end() - 2, made.end()), ElementsAre("Start", "Free"));
  EXPECT_EQ(audio->Enabled(), 0);
  audio.reset();
  EXPECT_THAT(NewCalls(), IsEmpty());
}

TEST_F(AudioSystemTest, DestroyingARunningObjectStopsThenFrees) {
  StartLoose();
  audio.reset();
  EXPECT_THAT(NewCalls(), ElementsAre("Stop", "Free"));
}

// ---- The archive index ----

TEST_F(AudioSystemTest, MissingIndexSwitchesOffAfterStarting) {
  EXPECT_EQ(audio->Create(window, 1, 0, kInstall), 1);
  EXPECT_THAT(Messages(), ElementsAre(kInitialised, "W LoadResHeader: nrx-file(data.nrx) was not found"));
  EXPECT_EQ(audio->Enabled(), 0);
  int32_t index = -1;
  EXPECT_EQ(audio->CreateSound("backmain", kPlainSound, index), 1);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(Messages().size(), 2u);
}

TEST_F(AudioSystemTest, CorruptedIndexSwitchesOff) {
  files.Put("/install/data.nrx", "\x03nrx\0\0\0\0");
  EXPECT_EQ(audio->Create(window, 1, 0, kInstall), 1);
  EXPECT_THAT(Messages(), ElementsAre(kInitialised, "W LoadResHeader: nrx-file(data.nrx) is corrupted"));
  EXPECT_EQ(audio->Enabled(), 0);
}

TEST_F(AudioSystemTest, IndexWithoutSoundsLoadsButFindsNothing) {
  PutArchive({{kBmpPicture, "back0_1", "BM"}, {kJpegPicture, "sky0", "JPEG"}});
  EXPECT_EQ(audio->Create(window, 1, 0, kInstall), 0);
  EXPECT_THAT(Messages(),
              ElementsAre(kInitialised, "R LoadResHeader: nrx-file(data.nrx) was successfully loaded, 0 sound objects was found"));
  int32_t index = -1;
  EXPECT_EQ(audio->CreateSound("backmain", kPlainSound, index), 1);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(Messages().back(), "W CreateSound: sound was not found in the res file. Sound <backmain> was not loaded");
}

TEST_F(AudioSystemTest, ArchiveSoundsLoadFromTheirFileRangeMatchedByExactName) {
  PutArchive({{kBmpPicture, "back0_1", "BMxxxx"}, {2, "backmain", "0123456789"}, {6, "song0", "abcd"}});
  ASSERT_EQ(audio->Create(window, 1, 0, kInstall), 0);
  EXPECT_EQ(audio->ArchiveCount(), 2);
  EXPECT_EQ(Messages().back(), "R LoadResHeader: nrx-file(data.nrx) was successfully loaded, 2 sound objects was found");
  NewCalls();

  int32_t index = -1;
  EXPECT_EQ(audio->CreateSound("song0", k3DSound, index), 0);
  EXPECT_EQ(NewCalls()[0], "SampleLoad(/install/sounds.dat,16,4,3,0x30008)");
  EXPECT_EQ(audio->CreateSound("Song0", k3DSound, index), 1);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(Messages().back(), "W CreateSound: sound was not found in the res file. Sound <Song0> was not loaded");
  EXPECT_THAT(NewCalls(), IsEmpty());

  // Naming sounds ahead hands the library the ranges CreateSound loads, in order, skipping what the
  // archive lacks, without a word.
  const std::vector<std::string> named{"backmain", "Song0", "song0"};
  audio->ExpectSounds(named);
  ASSERT_EQ(library->expected.size(), 2u);
  EXPECT_EQ(library->expected[1].path + "," + std::to_string(library->expected[1].offset) + "," +
                std::to_string(library->expected[1].length),
            "/install/sounds.dat,16,4");
  EXPECT_EQ(library->expected[0].length, 10u);
  EXPECT_EQ(Messages().back(), "W CreateSound: sound was not found in the res file. Sound <Song0> was not loaded");

  // Asking finds what CreateSound finds, and says nothing; a picture entry is no sound.
  const int messages = report.MessageCount();
  EXPECT_TRUE(audio->HasSound("song0"));
  EXPECT_FALSE(audio->HasSound("Song0"));
  EXPECT_FALSE(audio->HasSound("back0_1"));
  EXPECT_EQ(report.MessageCount(), messages);
}

TEST_F(AudioSystemTest, MoreThanAThousandSoundEntriesStopAtTheTableWithAWarning) {
  std::vector<PackItem> items;
  for (int i = 0; i <= ArchiveTable::kCapacity; ++i) items.push_back({2 + i % 5, "s" + std::to_string(i), "x"});
  PutArchive(items);
  ASSERT_EQ(audio->Create(window, 1, 0, kInstall), 0);
  EXPECT_EQ(audio->ArchiveCount(), 1000);
  EXPECT_THAT(Messages(),
              ElementsAre(kInitialised,
                          "W LoadResHeader: nrx-file(data.nrx) lists more than 1000 objects, the rest was ignored",
                          "R LoadResHeader: nrx-file(data.nrx) was successfully loaded, 1000 sound objects was found"));
  int32_t index = 0;
  EXPECT_EQ(audio->CreateSound("s999", kPlainSound, index), 0);
  EXPECT_EQ(audio->CreateSound("s1000", kPlainSound, index), 1);
  EXPECT_EQ(Messages().back(), "W CreateSound: sound was not found in the res file. Sound <s1000> was not loaded");
}

TEST_F(AudioSystemTest, ArchiveFlagOtherThanZeroOrOneMeansLooseFiles) {
  EXPECT_EQ(audio->Create(window, 7, 0, kInstall), 0);
  EXPECT_EQ(audio->UseArchive(), 0);
  EXPECT_THAT(Messages(), ElementsAre(kInitialised));
}

// ---- CreateSound ----

TEST_F(AudioSystemTest, LoosePlainAnd3DSoundsGetTheirFlagsAndAttributes) {
  StartLoose();
  int32_t index = -1;
  EXPECT_EQ(audio->CreateSound("backmain", kPlainSound, index), 0);
  EXPECT_EQ(index, 0);
  EXPECT_THAT(NewCalls(), ElementsAre("SampleLoad(/install/sounds\\backmain.ogg,0,0,3,0x20000)", "SampleGetInfo(1)",
                                      "SampleSetInfo(1,pan 0,mode 2,min 1,max 10000)"));
  EXPECT_EQ(audio->CreateSound("song3", k3DSound, index), 0);
  EXPECT_EQ(index, 1);
  EXPECT_THAT(NewCalls(), ElementsAre("SampleLoad(/install/sounds\\song3.ogg,0,0,3,0x30008)", "SampleGetInfo(2)",
                                      "SampleSetInfo(2,pan 0,mode 0,min 5,max 70)"));
  EXPECT_THAT(MessagesSinceStart(), ElementsAre("R CreateSound: sound <backmain> was successfully loaded [0]",
                                                "R CreateSound: 3DSound <song3> was successfully loaded [1]"));
  EXPECT_EQ(audio->Sound(0).loaded, 1);
  EXPECT_EQ(audio->Sound(0).is3D, 0);
  EXPECT_EQ(audio->Sound(1).is3D, 1);
  EXPECT_EQ(audio->Sound(1).sample, 2u);
  EXPECT_EQ(library->samples[2].maxDistance, 70.0f);  // the other attributes stay as read
  EXPECT_EQ(library->samples[2].frequency, 22050);
}

TEST_F(AudioSystemTest, LibraryFailuresInCreateSoundAreReportedAndTheIndexIsNotReused) {
  StartLoose();
  int32_t index = -1;
  library->loadErrors["/install/sounds\\broken.ogg"] = kSoundNotOggVorbis;
  EXPECT_EQ(audio->CreateSound("broken", kPlainSound, index), 1);
  EXPECT_EQ(index, 0);
  library->getInfoError = kSoundBadHandle;
  EXPECT_EQ(audio->CreateSound("noinfo", kPlainSound, index), 1);
  EXPECT_EQ(index, 1);
  library->getInfoError = 0;
  library->setInfoError = kSoundIllegalParameter;
  EXPECT_EQ(audio->CreateSound("noset", k3DSound, index), 1);
  EXPECT_EQ(index, 2);
  library->setInfoError = 0;
  EXPECT_EQ(audio->CreateSound("fine", kPlainSound, index), 0);
  EXPECT_EQ(index, 3);
  EXPECT_THAT(MessagesSinceStart(),
              ElementsAre("W CreateSound: BASS_SampleLoad was failed, BASS errorcode is 41. Sound <broken> was not loaded",
                          "W CreateSound: BASS_SampleGetInfo was failed, BASS errorcode is 5. Sound <noinfo> was not loaded",
                          "W CreateSound: BASS_SampleSetInfo was failed, BASS errorcode is 20. Sound <noset> was not loaded",
                          "R CreateSound: sound <fine> was successfully loaded [3]"));
  for (int failed = 0; failed < 3; ++failed) EXPECT_EQ(audio->Sound(failed).loaded, 0);
  EXPECT_EQ(audio->PlaySoundEx(1, 50, 0, 22050, 0, 1), 1);
  EXPECT_EQ(audio->SoundCount(), 4);
}

TEST_F(AudioSystemTest, TheThousandAndFirstSoundTakesOverSlot999WithoutLoading) {
  StartLoose();
  int32_t index = -1;
  for (int i = 0; i < AudioSystem::kSoundCapacity; ++i) {
    ASSERT_EQ(audio->CreateSound("s" + std::to_string(i), kPlainSound, index), 0);
  }
  EXPECT_EQ(audio->PlaySoundEx(999, 50, 0, 22050, 0, 1), 0);
  NewCalls();
  EXPECT_EQ(audio->CreateSound("extra", kPlainSound, index), 1);
  EXPECT_EQ(index, 999);
  EXPECT_EQ(audio->SoundCount(), 1000);
  EXPECT_EQ(audio->Sound(999).loaded, 0);
  EXPECT_EQ(MessagesSinceStart().back(), "W CreateSound: sounds maximum is reached. Sound <extra> was not loaded");
  EXPECT_EQ(audio->PlaySoundEx(999, 50, 0, 22050, 0, 1), 1);
  EXPECT_EQ(audio->PlaySoundEx(998, 50, 0, 22050, 0, 1), 0);
  EXPECT_THAT(NewCalls(), ElementsAre("SamplePlayEx(999,0,22050,50,0,0)"));
}

// ---- Playing ----

TEST_F(AudioSystemTest, DisabledPlayCallsReturnAtOnceWhateverTheIndex) {
  StartLoose();
  EXPECT_EQ(audio->PlaySoundEx(5000, 50, 0, 22050, 0, 0), 0);
  EXPECT_EQ(audio->PlaySound3D(-3, 0, 0, 0, 0), 0);
  EXPECT_THAT(MessagesSinceStart(), IsEmpty());
  EXPECT_EQ(audio->PlaySoundEx(5000, 50, 0, 22050, 0, 1), 1);
  EXPECT_EQ(audio->PlaySound3D(-3, 0, 0, 0, 1), 1);
  int32_t index = 0;
  audio->CreateSound("one", kPlainSound, index);
  EXPECT_EQ(audio->PlaySoundEx(1, 50, 0, 22050, 0, 1), 1);  // one past the last handed-out number
  EXPECT_THAT(MessagesSinceStart(), ElementsAre("W PlaySoundEx: sound number (5000) is incorrect",
                                                "W PlaySound3D: sound number (-3) is incorrect",
                                                "R CreateSound: sound <one> was successfully loaded [0]",
                                                "W PlaySoundEx: sound number (1) is incorrect"));
}

TEST_F(AudioSystemTest, PlainAnd3DCallsRefuseTheOtherKindSilently) {
  StartLoose();
  int32_t plain = 0, spatial = 0;
  audio->CreateSound("plain", kPlainSound, plain);
  audio->CreateSound("spatial", k3DSound, spatial);
  NewCalls();
  const int before = report.MessageCount();
  EXPECT_EQ(audio->PlaySoundEx(spatial, 50, 0, 22050, 0, 1), 1);
  EXPECT_EQ(audio->PlaySound3D(plain, 1, 1, 1, 1), 1);
  EXPECT_THAT(NewCalls(), IsEmpty());
  EXPECT_EQ(report.MessageCount(), before);
}

TEST_F(AudioSystemTest, PlayArgumentsReachTheLibraryWithKeepCurrentMapped) {
  StartLoose();
  int32_t plain = 0, spatial = 0;
  audio->CreateSound("plain", kPlainSound, plain);
  audio->CreateSound("spatial", k3DSound, spatial);
  NewCalls();
  EXPECT_EQ(audio->PlaySoundEx(plain, KeepCurrent, KeepCurrent, KeepCurrent, 1, 1), 0);
  EXPECT_EQ(audio->PlaySoundEx(plain, 40, -100, 11025, 0, 1), 0);
  EXPECT_EQ(audio->PlaySound3D(spatial, 1.5f, -2.0f, 30.0f, 1), 0);
  EXPECT_THAT(NewCalls(), ElementsAre("SamplePlayEx(1,0,-1,-1,-101,1)", "SamplePlayEx(1,0,11025,40,-100,0)",
                                      "SamplePlay3D(2,(1.5,-2,30),null,null)"));
}

// ---- Volumes and pausing ----

TEST_F(AudioSystemTest, SetVolumesClampsKeepsAndWorksWhileOff) {
  EXPECT_EQ(audio->SetVolumes(150, -5), 0);
  EXPECT_EQ(audio->SampleVolume(), 100);
  EXPECT_EQ(audio->MusicVolume(), 0);
  EXPECT_EQ(audio->SetVolumes(KeepCurrent, 30), 0);
  EXPECT_EQ(audio->SampleVolume(), 100);
  EXPECT_EQ(audio->MusicVolume(), 30);
  EXPECT_EQ(audio->SetVolumes(40, KeepCurrent), 0);
  EXPECT_EQ(audio->MusicVolume(), 30);
  EXPECT_THAT(NewCalls(), ElementsAre("SetGlobalVolumes(0,100,-1)", "SetGlobalVolumes(30,-1,-1)",
                                      "SetGlobalVolumes(-1,40,-1)"));
  ASSERT_EQ(audio->Create(window, 0, 0, kInstall), 0);
  EXPECT_EQ(NewCalls().back(), "SetGlobalVolumes(30,40,-1)");  // Create applies the stored volumes
}

TEST_F(AudioSystemTest, PauseAndResumeOnlyWhileOn) {
  audio->PauseOutput();
  audio->ResumeOutput();
  EXPECT_THAT(NewCalls(), IsEmpty());
  StartLoose();
  audio->PauseOutput();
  EXPECT_TRUE(library->paused);
  audio->ResumeOutput();
  EXPECT_FALSE(library->paused);
  EXPECT_THAT(NewCalls(), ElementsAre("Pause", "Start"));
}

// ---- Always flags: the shell's quiet report keeps only the messages sent with always 1 ----

class QuietAudioSystemTest : public AudioSystemTest {
 protected:
  QuietAudioSystemTest() : AudioSystemTest(ReportMode::Quiet) {}
};

TEST_F(QuietAudioSystemTest, LoadSuccessIsDroppedWhileWarningsAndStartReportsStay) {
  PutArchive({{3, "song0", "abcd"}});
  ASSERT_EQ(audio->Create(window, 1, 0, kInstall), 0);
  int32_t index = 0;
  EXPECT_EQ(audio->CreateSound("song0", k3DSound, index), 0);
  EXPECT_EQ(audio->CreateSound("song1", k3DSound, index), 1);
  EXPECT_EQ(audio->PlaySound3D(7, 0, 0, 0, 1), 1);
  EXPECT_THAT(Messages(),
              ElementsAre(kInitialised, "R LoadResHeader: nrx-file(data.nrx) was successfully loaded, 1 sound objects was found",
                          "W CreateSound: sound was not found in the res file. Sound <song1> was not loaded",
                          "W PlaySound3D: sound number (7) is incorrect"));
}

}  // namespace
}  // namespace sylvora
