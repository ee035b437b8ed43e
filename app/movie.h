// Movie frames: the meshes and solutions listed in "zelmor.movie" drawn one after the other in
// one viewer window, each seen with the view saved in "zelmor.data" and written to a PNG file.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

class QSurfaceFormat;
class ZelMeshViewer;

// One frame of the movie list.
struct MovieLine {
  std::string mesh;
  std::string solution;  // the mesh name when the line names no solution
};

// What each frame recomputes after the saved view is applied.
enum class MovieCut { CutPlane, Capping };

// Longest line of the movie list that is read whole (characters before the newline; the rest
// of a longer line is skipped), and longest mesh or solution name (longer words are cut).
constexpr int kMovieLineLimit = 511;
constexpr int kMovieNameLimit = 255;

// The words of one line: the mesh name and the optional solution name (words after the second
// are ignored). None for a line without a word, which the movie skips.
std::optional<MovieLine> parseMovieLine(const std::string& line);

// The image name of a frame: `solutionName` cut at its first ".sol", then at its first
// ".mesh", followed by ".png" ("run12.sol" and "run12.meshb" both give "run12.png").
std::string movieFrameName(const std::string& solutionName);

// Reads the next line of `list` into `line` (at most kMovieLineLimit characters, the rest of
// a longer line skipped, newline removed); false at the end of the file.
bool readMovieLine(std::FILE* list, std::string* line);

// Draws one frame into `viewer` (whose scene must be empty): forgets the scene dimension,
// assembles the scene from the line's files, applies "zelmor.data" from the working directory
// (a window size in it takes effect before drawing), runs the cut-plane or capping update,
// shows the scene centre, writes the PNG named after the line and empties the scene again.
// The screenshot's is the only frame drawn: the window's frames are held meanwhile.
void drawMovieFrame(ZelMeshViewer* viewer, const MovieLine& line, MovieCut cut);

// Removes every scene object (kind by kind), empties the picked and hidden lists and drops
// what the viewer keeps about the objects (object sources, palette, scene-centre marker, face
// marks) and its mesh container. The window, its context and its programs stay.
void emptyScene(ZelMeshViewer* viewer);

// Places the scene-centre marker at the camera's centre (normalised units, as a state file
// leaves it), made the rotation centre, and draws a frame.
void showSavedSceneCentre(ZelMeshViewer* viewer);

// The movie modes: one viewer, the launch line, then one frame per non-empty line of
// "zelmor.movie" in the working directory. A missing list prints its two lines. Returns the
// exit code: 0, or 1 when the window gets no OpenGL context.
int runMovie(const QSurfaceFormat& format, MovieCut cut);
