"""The Quorvel highscore site: collects the game's highscore mails and serves the tables it reads."""
