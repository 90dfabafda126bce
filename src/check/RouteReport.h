#pragma once
#include "check/RouteSearch.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

// rumena-check --routes: the route search on each difficulty, and what it found that an author must
// know: the endings each reaches and how, the scenes none reaches, the errors and the states no ending
// can be reached from, the flags no route sets. Routes can be written as driver scripts.
class RouteReport {
  public:
    struct Options {
        std::size_t maxStates = 2'000'000; // per difficulty
        bool exact = false;
        int only = -1;         // the one difficulty explored (-1: each)
        std::string routesOut; // the folder the routes are written to (empty: none)
        std::ostream* progress = nullptr;
    };
    // scenes: the scenes the story has (their files exist), each of which some route should reach.
    RouteReport(std::string gameDir, std::vector<std::string> scenes, Options options);

    // Prints the report; returns the number of problems found.
    std::size_t run(std::ostream& out);

  private:
    std::string describe(const RouteSearch::Route& route) const;
    void writeRoute(const std::string& name, const RouteSearch::Route& route, const std::string& title);

    std::string gameDir_;
    std::vector<std::string> scenes_;
    Options options_;
    std::vector<std::string> difficulties_;
    std::vector<std::string> places_;
    std::size_t written_ = 0;
};
