#pragma once

#include "platform/ZrExport.h"

class CZrPJCoordSys;

#include <string>
#include <vector>

// Finding a coordinate system by what a user knows of it: a name or part of
// one, an alias (EPSG's, ESRI's, a Chinese name of a Chinese system), or a
// code. Searches the built-in catalogue, every EPSG geographic and projected
// system of the EPSG data file (those no projection kind computes as well,
// marked as not built) and the systems ESRI numbers itself.

// One system found.
struct ZrSearchHit {
    // The code to show and to give back to the library: "EPSG:2154", else
    // "ESRI:54030", else the catalogue code as digits ("21420").
    std::string code;
    long epsgCode = 0;      // 0 when EPSG has no code for it
    long esriCode = 0;      // ESRI's own code; 0 when ESRI uses EPSG's or none
    long catalogueCode = 0; // 0 when the catalogue has no row for it
    std::string name;       // EPSG's name, else ESRI's, else the catalogue's
    std::string catalogueName;
    std::vector<std::string> aliases; // EPSG's aliases and ESRI's name, as the data file has them
    bool projected = false;           // else geographic
    bool built = false;               // the library builds it (a catalogue row or a kind computes it)
    // Area of use (degrees; west > east when it crosses the antimeridian).
    bool hasArea = false;
    std::string areaName;
    double south = -90, west = -180, north = 90, east = 180;
};

// Fills hits with the systems that match text, best first, at most limit of
// them (0: all); returns how many match in all. Never throws.
//
// A code, "4490", "EPSG:4490", "ESRI:54030" (any case, spaces around the
// colon allowed), finds the system under that code; a bare number also finds
// catalogue codes and names that hold it. Any other text is a name: case,
// spaces, underscores, hyphens and slashes do not count ("Lambert 93" finds
// "RGF93 v1 / Lambert-93"). Ranked as PROJ's projinfo ranks names: a name
// equal to the text, then one that begins with it, then one that holds it,
// then one that holds each of its words; within each, the shorter name first.
// The index is built on the first call (thread-safe) and read only after.
ZRPRJ_API int ZrSearchCoordSys(const std::string& text, std::vector<ZrSearchHit>& hits, int limit = 0);

// The entry of the index that stands for a system (by its EPSG code, else by
// its catalogue code): its codes, names, aliases and area of use. 0 for a
// planar or user-defined system that no entry stands for.
ZRPRJ_API int ZrDescribeCoordSys(const CZrPJCoordSys& cs, ZrSearchHit& hit);
