# Wine tests are added below.
