// tessary_postgres_cluster start|stop FOLDER: starts the test PostgreSQL
// cluster once for a whole ctest run (a fixture every test requires), and
// stops it at the end.
#include <filesystem>
#include <iostream>
#include <string_view>

#include "support/postgres_cluster.h"

int main(int argc, char** argv) {
  using testing_support::PostgresCluster;
  if (argc != 3) {
    std::cerr << "usage: tessary_postgres_cluster start|stop FOLDER\n";
    return 2;
  }
  const std::filesystem::path folder = argv[2];
  try {
    PostgresCluster::Stop(folder);  // a cluster an interrupted run left behind
    if (std::string_view(argv[1]) == "start") PostgresCluster::Start(folder, false);
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "tessary_postgres_cluster: " << error.what() << "\n";
    return 1;
  }
}
