# Writes Anderson's iris measurements (R's datasets package) as IRIS.CSV,
# the way R exports a table: quoted names, one flower per line.
write.csv(iris[, 1:4], "IRIS.CSV", row.names = FALSE)
