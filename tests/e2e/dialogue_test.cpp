// Whole dialogues of the run driver through the built program: the prompts in
// their order, the defaults, the re-asked dialogues, the bounds, the analysis
// tag and the end of a dialogue file.
#include "e2e/e2e_support.hpp"

using namespace e2e;

namespace {

// Twelve samples of three variables in two groups.
const char* kData =
    "CU,ZN,PB\n"
    "10,20,30\n11,21,33\n12,19,31\n10.5,22,30\n11.5,20,32\n12,21,29\n"
    "40,60,10\n42,61,12\n41,58,11\n39,62,13\n43,59,10\n40,60,12\n";

// Answers of the data input for the file above: source C, name, missing
// value, no numeric ID, take all three variables without logs, confirm,
// PRESS RETURN.
std::vector<std::string> data_answers() {
  return {"", "data", "", "", "", "", "", "", "", "", "", ""};
}

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const std::vector<std::string> kMappingDefaults = {"", "", "", ""};
const std::vector<std::string> kClusteringDefaults = {"", "", "", "", "", "", "", "", "", "", ""};
const std::vector<std::string> kCoordinateDefaults = {"", ""};

}  // namespace

TEST(Dialogue, AllBlankAnswersRunBothAnalysesWithDefaults) {
  Folder dir;
  dir.write("data.CSV", kData);
  auto result = dir.run(concat({{"", ""},
                                {"", "", ""},
                                data_answers(),
                                kMappingDefaults,
                                kClusteringDefaults,
                                kCoordinateDefaults}));
  ASSERT_EQ(result.status, 0) << result.screen;
  EXPECT_TRUE(in_order(result.screen,
                       {" " + std::string(58, '-') + "\n  PROGRAM TARNWICK, 1995.",
                        " Graphics are often unstable in Windows 7, turn off graphics (<Y>/N)? "
                        "\n Max.number of input rows and columns   5000, 200\n\n"
                        " Max.allowed number of iterations  500\n",
                        "\n Dialogue on file (FILENAME) or interactive use (<CON>)? ",
                        " Enter output filename without extension (<OUTPUT>)? ",
                        " NLM, FUZZY or both? (N,F or <B>): ",
                        " Weight/selection option in FUZZY (and scaling) routine (Y/<N>)? ",
                        " Are data in dBase3(D), Excel CSV<C> or a FXD(G) file? ",
                        " *** INPUT PARAMETERS FOR NLM-SUBROUTINE ***\n"
                        " Distance measure to be mapped by NLM? <1>. \n"
                        " 0: Euclidian distance;\n"
                        " 1: Diagonal norm (scaling by feature variance);\n"
                        " 2: Scaling by feature means;\n"
                        " 3: Mahalanobis norm (scaling by inversed covariance matrix). "
                        " Power of distances in weighing? <1.0>: "
                        " Number of iterations? (25 minimum) <100>: "
                        "\n ALL INPUT PARAMETERS CORRECT? (<Y> OR N): ",
                        " *** INPUT PARAMETERS FOR FUZZY C-MEANS SUBROUTINE ***\n"
                        " Distance measure to be used for FCM? <1>. \n",
                        " Calculation of an extragrade? (Y,<N>)"
                        " Fuzzy exponent for FCM? [1<QQ<30]: <1.5>"
                        " Starting number of clusters? <2>: "
                        " Finishing number of clusters? <9>: "
                        " Maximum number of iterations <100>:"
                        " Value for Eps <0.0001>:"
                        " Give random number (1-200) to initiate clustering <1>: "
                        " Threshold membership-ratio for defuzzification <0.75>\n",
                        " Give column number for sorting of cluster-centra <1>: "
                        "\n ALL FUZZY PARAMETERS CORRECT? (<Y>/N): "}));
  EXPECT_FALSE(contains(result.screen, "Save scaling matrix"));
  EXPECT_FALSE(contains(result.screen, "Alpha-factor"));
  auto report = dir.lines("OUTPUT.OUT");
  ASSERT_GE(report.size(), 3u);
  EXPECT_EQ(report[0], " NLM, FUZZY or both? (N,F or <B>): ");
  EXPECT_EQ(report[1], std::string(80, ' '));
  EXPECT_FALSE(dir.exists("OUTPUT.BMP"));
}

TEST(Dialogue, ModeNSkipsTheWeightQuestionAndTheClustering) {
  Folder dir;
  dir.write("data.CSV", kData);
  auto result = dir.run(
      concat({{"", ""}, {"RUN1.", "n"}, data_answers(), kMappingDefaults, kCoordinateDefaults}));
  ASSERT_EQ(result.status, 0) << result.screen;
  EXPECT_FALSE(contains(result.screen, "Weight/selection option"));
  EXPECT_FALSE(contains(result.screen, "FUZZY C-MEANS SUBROUTINE"));
  EXPECT_TRUE(dir.exists("RUN1.OUT"));
  auto report = dir.read("RUN1.OUT");
  EXPECT_TRUE(contains(report, "#### THE FOLLOWING INPUT IS USED FOR THE  NLM-FCM RUN ####"));
}

TEST(Dialogue, ModeFAsksTheDisplayColumnsAfterTheVariableTable) {
  Folder dir;
  dir.write("data.CSV", kData);
  auto result = dir.run(
      concat({{"", ""}, {"", "F", ""}, data_answers(), {"", "x", "1,", "3"}, kClusteringDefaults}));
  ASSERT_EQ(result.status, 0) << result.screen;
  const std::string top = " |" + std::string(68, '-') + "\u2555\n";
  const std::string cells =
      " * 1 CU         *  * 2 ZN         *  * 3 PB         *  * 4            * \n";
  EXPECT_TRUE(
      in_order(result.screen, {top + cells + "\n *" + std::string(68, '-') + "*\n\n",
                               " Give column numbers of X,Y coordinates for graphics display: ",
                               // "x" is not a number: the prompt comes again
                               " Give column numbers of X,Y coordinates for graphics display: "}));
  EXPECT_FALSE(contains(result.screen, "NLM-SUBROUTINE"));
}

TEST(Dialogue, ParameterDialoguesAreAskedAgainAfterN) {
  Folder dir;
  dir.write("data.CSV", kData);
  // Mapping: first pass 600 iterations and N; second pass defaults.
  std::vector<std::string> mapping = {"", "", "600", "N", "", "", "1000", ""};
  // Clustering: first pass 4 to 4 with save Y, then N; second pass defaults.
  std::vector<std::string> clustering = {"", "", "", "4", "4", "Y", "", "", "", "", "", "N"};
  clustering.insert(clustering.end(), kClusteringDefaults.begin(), kClusteringDefaults.end());
  auto result = dir.run(
      concat({{"", ""}, {"", "", ""}, data_answers(), mapping, clustering, kCoordinateDefaults}));
  ASSERT_EQ(result.status, 0) << result.screen;
  EXPECT_EQ(count_of(result.screen, " *** INPUT PARAMETERS FOR NLM-SUBROUTINE ***"), 2);
  EXPECT_EQ(count_of(result.screen, " *** INPUT PARAMETERS FOR FUZZY C-MEANS SUBROUTINE ***"), 2);
  // 600 is cut to 500 with both messages; 1000 is read as 100, without them.
  EXPECT_EQ(count_of(result.screen,
                     " Maximum allowed number of iteration: 500\n"
                     " Number of iteration set to: 500\n"),
            1);
  EXPECT_EQ(count_of(result.screen, " Save scaling matrix? (Y,<N>)"), 1);
  // The flag stays set although the second pass had different counts.
  EXPECT_TRUE(dir.exists("SCALE.MMB"));
}

TEST(Dialogue, FewerThanTwentyFiveMappingIterationsAreRaisedSilently) {
  Folder dir;
  dir.write("data.CSV", kData);
  auto result = dir.run(
      concat({{"", ""}, {"", "N"}, data_answers(), {"", "", "20", ""}, kCoordinateDefaults}));
  ASSERT_EQ(result.status, 0) << result.screen;
  EXPECT_FALSE(contains(result.screen, "Number of iteration set to"));
  // The error of these well-separated groups falls in every iteration, so
  // the best iteration is the last of the 25 that ran.
  EXPECT_TRUE(contains(dir.read("OUTPUT.OUT"), " ON ITERATION  25\n"));
}

TEST(Dialogue, RefusedLettersAreAskedAgain) {
  Folder dir;
  dir.write("data.CSV", kData);
  auto result =
      dir.run(concat({{"", ""}, {"", "x", "f", ""}, data_answers(), {"1 2"}, kClusteringDefaults}));
  ASSERT_EQ(result.status, 0) << result.screen;
  EXPECT_TRUE(in_order(result.screen, {" NLM, FUZZY or both? (N,F or <B>): ",
                                       " THE ONLY ANSWERS ALLOWED ARE: B, N, F\n TRY AGAIN: ",
                                       " Weight/selection option"}));
}

TEST(Dialogue, SameNormInBothAnalysesReusesTheMappingScaling) {
  Folder dir;
  dir.write("data.CSV", kData);
  // Mahalanobis in both: the inversion and its check are made once.
  std::vector<std::string> clustering = kClusteringDefaults;
  clustering[0] = "3";
  auto same = dir.run(concat({{"", ""},
                              {"SAME", "", ""},
                              data_answers(),
                              {"3", "", "", ""},
                              clustering,
                              kCoordinateDefaults}));
  ASSERT_EQ(same.status, 0) << same.screen;
  EXPECT_EQ(count_of(dir.read("SAME.OUT"), " CHECK MATRIX AA*AA(INVERSE)=1, THE IDENTITY"), 1);
  // Mahalanobis for the clustering only: the check comes from the clustering.
  auto other = dir.run(concat({{"", ""},
                               {"OTHER", "", ""},
                               data_answers(),
                               kMappingDefaults,
                               clustering,
                               kCoordinateDefaults}));
  ASSERT_EQ(other.status, 0) << other.screen;
  EXPECT_EQ(count_of(dir.read("OTHER.OUT"), " CHECK MATRIX AA*AA(INVERSE)=1, THE IDENTITY"), 1);
}

TEST(Dialogue, WeightColumnIsTakenOutOfTheVariables) {
  Folder dir;
  dir.write("data.CSV", "A,W,B\n1,0.5,2\n2,1.5,3\n3,0,4\n4,2,5\n5,1,6\n");
  std::vector<std::string> data = {"", "data", "", "", "", "", "", "", "", "", "", ""};
  auto result =
      dir.run(concat({{"", ""}, {"", "F", "Y"}, data, {"", "2", "1 3"}, kClusteringDefaults}));
  ASSERT_EQ(result.status, 0) << result.screen;
  EXPECT_TRUE(in_order(result.screen, {" Give column number of sample weights: ",
                                       " Give column numbers of X,Y coordinates"}));
  auto report = dir.read("OUTPUT.OUT");
  EXPECT_TRUE(contains(
      report, " VARIABLES SELECTED: \n " + std::string(77, '+') + "\n A         B         \n"));
  EXPECT_TRUE(contains(report,
                       "          1  0.500          2  1.500          3  0.000"
                       "          4  2.000\n          5  1.000\n"));
}

TEST(Dialogue, ADialogueFileThatEndsEarlyEndsTheRunNamingIt) {
  Folder dir;
  dir.write("data.CSV", kData);
  dir.write("short.dlg", "RUN2\nB\n\n");
  auto result = dir.run({"", "short.dlg"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(contains(last_line(result.screen), "short.dlg")) << result.screen;
  // What was written stays: the report holds its first line.
  EXPECT_EQ(dir.lines("RUN2.OUT").at(0), " NLM, FUZZY or both? (N,F or <B>): ");
}

TEST(Dialogue, AMissingDialogueFileEndsAtTheFirstAnswer) {
  Folder dir;
  auto result = dir.run({"", "nosuch.dlg"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(contains(last_line(result.screen), "nosuch.dlg")) << result.screen;
  EXPECT_FALSE(dir.exists("OUTPUT.OUT"));
}

TEST(Dialogue, ColumnNumbersOutsideTheTableAreAskedAgain) {
  Folder dir;
  dir.write("data.CSV", kData);
  // Weight column: 0 and 4 lie outside 1..3, x is no number, an empty line
  // is passed over. Display columns: 4 is outside; text after the two
  // numbers needed is not looked at. A huge number must not wrap round.
  // Sort column: 3 is outside once the weight column is gone.
  std::vector<std::string> clustering = kClusteringDefaults;
  clustering[9] = "3";
  clustering.insert(clustering.begin() + 10, "2");
  auto result = dir.run(concat({{"", ""},
                                {"", "F", "Y"},
                                data_answers(),
                                {"0", "4294967298", "4", "x", "", "2 junk"},
                                {"1 4", "1,3 junk"},
                                clustering}));
  ASSERT_EQ(result.status, 0) << result.screen;
  const std::string weight = " Give column number of sample weights: ";
  const std::string outside = " COLUMN NUMBER MUST LIE BETWEEN 1 AND 3\n";
  EXPECT_TRUE(in_order(result.screen, {weight + outside, weight + outside, weight + outside,
                                       weight + weight + " Give column numbers of X,Y",
                                       " COLUMN NUMBERS MUST LIE BETWEEN 1 AND 3\n"
                                       " Give column numbers of X,Y coordinates for graphics "
                                       "display:  *** INPUT PARAMETERS FOR FUZZY",
                                       " Give column number for sorting of cluster-centra <1>:  "
                                       "COLUMN NUMBER MUST LIE BETWEEN 1 AND 2\n"
                                       " Give column number for sorting of cluster-centra <1>: "}));
  // ZN held the weights; CU and PB are analysed.
  EXPECT_TRUE(contains(dir.read("OUTPUT.OUT"), "\n CU        PB        \n"));
}

TEST(Dialogue, OutputBaseNamesOfTwentySevenCharactersAreAskedAgain) {
  Folder dir;
  const std::string long_name(27, 'A');
  // The run stops when the console input ends at the data source question.
  auto result = dir.run({"", "", long_name, std::string(26, 'B') + "...", "N"});
  EXPECT_EQ(result.status, 1);
  const std::string prompt = " Enter output filename without extension (<OUTPUT>)? ";
  EXPECT_TRUE(in_order(result.screen,
                       {prompt + " OUTPUT NAME TOO LONG: AT MOST 26 CHARACTERS WITHOUT EXTENSION\n",
                        prompt + " NLM, FUZZY or both?"}));
  EXPECT_FALSE(dir.exists(long_name + ".OUT"));
  EXPECT_EQ(dir.lines(std::string(26, 'B') + ".OUT").at(0), " NLM, FUZZY or both? (N,F or <B>): ");
}

TEST(Dialogue, DialogueFileNamesOfMoreThanThirtyCharactersAreAskedAgain) {
  Folder dir;
  const std::string name(31, 'd');
  dir.write(name, "RUN4\n");
  // The second name is blank: the console; the run stops when its input ends.
  auto result = dir.run({"", name, "", "RUN5"});
  EXPECT_EQ(result.status, 1);
  const std::string prompt = "\n Dialogue on file (FILENAME) or interactive use (<CON>)? ";
  EXPECT_TRUE(in_order(result.screen,
                       {prompt + " DIALOGUE FILE NAME LONGER THAN 30 CHARACTERS: " + name + "\n",
                        prompt + " Enter output filename without extension (<OUTPUT>)? "}));
  EXPECT_TRUE(dir.exists("RUN5.OUT"));
  EXPECT_FALSE(dir.exists("RUN4.OUT"));
}

TEST(Dialogue, NoFinalDisplayForASingleCountOrCountsUpToSixteenAndMore) {
  Folder dir;
  dir.write("data.CSV", kData);
  // Graphics on, clustering only; counts 3 to 3 (with the save-scaling
  // question), then 2 to 16.
  const std::vector<std::vector<std::string>> counts = {{"3", "3", ""}, {"2", "16"}};
  for (const auto& range : counts) {
    std::vector<std::string> clustering = {"", "", ""};
    clustering.insert(clustering.end(), range.begin(), range.end());
    clustering.insert(clustering.end(), {"", "", "", "", "", ""});
    auto result = dir.run(concat({{"N", ""}, {"", "F", ""}, data_answers(), {"1 2"}, clustering}));
    ASSERT_EQ(result.status, 0) << result.screen;
    EXPECT_TRUE(dir.exists("OUTPUT.OPT"));
    EXPECT_FALSE(dir.exists("OUTPUT.BMP")) << range[1];
  }
}
